#!/usr/bin/env bash
# Prepares a small demo: a server folder with program files of each kind, and a
# local folder where one of them is already installed with older generations.
#   scripts/make-demo.sh DIR     creates DIR/server and DIR/local afresh
set -euo pipefail
dir=${1:?usage: make-demo.sh DIR}
rm -rf "$dir/server" "$dir/local"
mkdir -p "$dir/server" "$dir/local"

program() {  # program FOLDER FILE BUILD DATE SIZE_KB
  local file="$1/$2"
  { printf '%s build %s\n' "${2%%.X[0-9][0-9]}" "$3"; head -c "$(( $5 * 1024 ))" /dev/zero | tr '\0' '.'; } > "$file"
  chmod 755 "$file"
  touch -d "$4" "$file"
}

program "$dir/server" Stock.exe     412 "2026-12-01 09:15:42" 900
program "$dir/server" Ledger.exe    128 "2026-11-20 16:02:10" 640
program "$dir/server" Payroll.exe    77 "2026-10-05 00:00:00" 512
program "$dir/server" Charts.ocx     31 "2026-09-14 11:30:00" 200
program "$dir/server" Grid.ocx       45 "2026-12-03 08:05:20" 180
program "$dir/server" Report.dll     19 "2026-08-30 13:45:08" 300
program "$dir/server" Printing.dll   22 "2026-11-28 17:20:36" 260
printf 'not a program\n' > "$dir/server/readme.txt"
printf 'hidden\n' > "$dir/server/.hidden.exe"

program "$dir/local" Stock.exe      411 "2026-11-02 10:00:00" 880
program "$dir/local" Stock.exe.X01  410 "2026-10-01 10:00:00" 870
program "$dir/local" Stock.exe.X02  409 "2026-09-01 10:00:00" 860
program "$dir/local" Stock.exe.X03  408 "2026-08-01 10:00:00" 850
