#!/usr/bin/env bash
# Times the installer's hot paths side by side with their command-line peers
# and prints one table: operation, our median, the peer's median (ms), ratio.
#   bench/compare.sh            (ROUNDS=5 by default; BUILD_DIR=build-bench)
# Builds in Release in its own folder, makes its data under a temporary folder
# that it removes again, runs ours and the peer in alternation, one process at
# a time, under nice. Not part of the test suite and never run in CI.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${ROUNDS:-5}
build=${BUILD_DIR:-build-bench}

echo "building ($build, Release)..." >&2
nice cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSARINE_BENCH=ON -DTESSARINE_TESTS=OFF >/dev/null
for target in TessarineInstaller bench_timecmd bench_mkdata bench_findfiles bench_textlist bench_install bench_sort bench_fill bench_catalogue bench_csv bench_langapply bench_web bench_webfolder; do
  nice cmake --build "$build" --target "$target" >/dev/null 2>&1 || echo "note: $target did not build; its rows are left out" >&2
done
bin=$build/bench
have() { [ -x "$bin/$1" ]; }

tmp=$(mktemp -d "${TMPDIR:-/tmp}/tessarine-bench.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
results=$tmp/results
: > "$results"
t() { nice "$bin/bench_timecmd" "$@"; }  # prints the milliseconds of one run
record() { echo "$1|$2|$3" >> "$results"; }  # operation|ours|peer
# How the desktop entry starts the program: the heap in transparent huge pages.
# The rows bound by first touches of fresh memory run ours so.
huge=(env GLIBC_TUNABLES=glibc.malloc.hugetlb=1)

echo "making data in $tmp..." >&2
"$bin/bench_mkdata" folder "$tmp/folder" 100000 50
"$bin/bench_mkdata" folder "$tmp/catalogue" 20000 100
"$bin/bench_mkdata" table "$tmp/table" 100000
"$bin/bench_mkdata" table "$tmp/table1m" 1000000
"$bin/bench_mkdata" lines "$tmp/lines.txt" 1000000
mkdir -p "$tmp/server" "$tmp/local" "$tmp/cp"
"$bin/bench_mkdata" big "$tmp/server/Big.exe" 512
sync

# 1. One 512 MiB program into a local folder. Each run starts from an empty
# folder and a written-back page cache.
op1="copy one 512 MiB file into a local folder: installprogram vs cp"
op1s="  the same, peer cp then sync FILE (what installprogram's fsync asks)"
for ((r = 0; r < rounds; r++)); do
  rm -rf "$tmp/local" "$tmp/cp"; mkdir -p "$tmp/local" "$tmp/cp"; sync
  ours=$(t -- "$bin/bench_install" "$tmp/server" "$tmp/local" Big.exe)
  sync
  peer=$(t -- cp "$tmp/server/Big.exe" "$tmp/cp/Big.exe")
  record "$op1" "$ours" "$peer"
  rm -f "$tmp/cp/Big.exe"; sync
  peer=$(t -- sh -c 'cp "$1" "$2" && sync "$2"' sh "$tmp/server/Big.exe" "$tmp/cp/Big.exe")
  record "$op1s" "$ours" "$peer"
done

# 1b. The unattended install as its callers start it: the whole program, no
# display, a 2-byte and a 512 MiB program into an empty folder, against cp
# then sync FILE of the same file (the install flushes its copy too).
if [ -x "$build/installer/TessarineInstaller" ]; then
  printf 'hi' > "$tmp/server/Small.exe"
  for name in Small.exe Big.exe; do
    case $name in
      Small.exe) op="unattended install of a 2-byte program, whole process: TessarineInstaller vs cp && sync FILE" ;;
      Big.exe) op="unattended install of a 512 MiB program, whole process: TessarineInstaller vs cp && sync FILE" ;;
    esac
    for ((r = 0; r < rounds; r++)); do
      rm -rf "$tmp/local" "$tmp/cp"; mkdir -p "$tmp/local" "$tmp/cp"; sync
      ours=$(unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
             t -- "$build/installer/TessarineInstaller" "SERVER=$tmp/server/" "LOCAL=$tmp/local/" "INSTALL=$name")
      sync
      peer=$(t -- sh -c 'cp "$1" "$2" && sync "$2"' sh "$tmp/server/$name" "$tmp/cp/$name")
      record "$op" "$ours" "$peer"
    done
  done
fi

# 1c. The same unattended install of the 512 MiB program where the start ini
# file names a public key and the program is signed (minisign's default,
# prehashed form): the whole process, the copy verified before it is placed,
# against cp then sync FILE.
if [ -x "$build/installer/TessarineInstaller" ] && command -v minisign >/dev/null; then
  mkdir -p "$tmp/key" "$tmp/profile"
  minisign -G -W -p "$tmp/key/minisign.pub" -s "$tmp/key/minisign.key" >/dev/null 2>&1
  minisign -S -s "$tmp/key/minisign.key" -m "$tmp/server/Big.exe" >/dev/null
  printf '[Signatures]\nPublicKey1=%s\n' "$(sed -n 2p "$tmp/key/minisign.pub")" > "$tmp/profile/TessarineStart.ini"
  op="signed unattended install of a 512 MiB program, verified, whole process: TessarineInstaller vs cp && sync FILE"
  for ((r = 0; r < rounds; r++)); do
    rm -rf "$tmp/local" "$tmp/cp"; mkdir -p "$tmp/local" "$tmp/cp"; sync
    ours=$(unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM; export ALLUSERSPROFILE="$tmp/profile"
           t -- "$build/installer/TessarineInstaller" "SERVER=$tmp/server/" "LOCAL=$tmp/local/" "INSTALL=Big.exe")
    sync
    peer=$(t -- sh -c 'cp "$1" "$2" && sync "$2"' sh "$tmp/server/Big.exe" "$tmp/cp/Big.exe")
    record "$op" "$ours" "$peer"
  done
  rm -rf "$tmp/key" "$tmp/profile"
fi
rm -rf "$tmp/local" "$tmp/cp" "$tmp/server"

# 2. Listing 100 000 entries with names, sizes and date texts. find gets one
# date directive (%T+): each of %Td, %Tm, ... makes it look the time zone up again.
op2="list 100 000 entries *.exe;*.ocx;*.dll with sizes, dates: findfiles vs find"
for ((r = 0; r < rounds; r++)); do
  ours=$(t -- "$bin/bench_findfiles" "$tmp/folder" '*.exe;*.ocx;*.dll')
  peer=$(t -- find "$tmp/folder" -maxdepth 1 '(' -iname '*.exe' -o -iname '*.ocx' -o -iname '*.dll' ')' \
         -type f ! -name '.*' -printf '%f\t%s\t%T+\n')
  record "$op2" "$ours" "$peer"
done

# 3. The catalogue rebuild of one key release, in process (Google Benchmark,
# repetitions interleaved at random), against findfiles on the same folder.
if have bench_catalogue; then
  QT_QPA_PLATFORM=offscreen nice "$bin/bench_catalogue" --benchmark_repetitions="$rounds" \
    --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
    --benchmark_format=csv "$tmp/catalogue" 2>/dev/null > "$tmp/catalogue.csv" || true
  median() { grep "^\"$1/real_time_median\"" "$tmp/catalogue.csv" | cut -d, -f3; }
  findfiles=$(median BM_findfiles)
  record "rebuild the catalogue, 20 000 programs, empty filter: FindPrograms vs findfiles" \
    "$(median BM_FindPrograms/0)" "$findfiles"
  record "  the same with a one-letter filter" "$(median BM_FindPrograms/1)" "$findfiles"
fi

# 4. Column sorts of a shown 100 000-row list view, against sort on the column
# as a text file; the driver alternates the two itself.
QT_QPA_PLATFORM=offscreen nice "$bin/bench_sort" "$tmp/table" "$rounds" 2>/dev/null |
while read -r name ours peer; do
  case $name in
    sort-number) op="sort 100 000 rows by a number column: sortlistview vs sort -n" ;;
    sort-text) op="sort 100 000 rows by a text column: sortlistview vs sort" ;;
    sort-date) op="sort 100 000 rows by a date column: sortlistview vs sort -k" ;;
  esac
  record "$op" "$ours" "$peer"
done

# 4b. Filling a shown list view with 1 000 000 rows whose texts are in memory,
# against loadlist reading the same rows from the file; the driver alternates
# the two itself, in one process.
if have bench_fill; then
  QT_QPA_PLATFORM=offscreen nice "${huge[@]}" "$bin/bench_fill" "$tmp/table1m" "$rounds" 2>/dev/null |
  while read -r name ours peer; do
    record "fill a list view with 1 000 000 rows: appendRow vs loadlist reading them" "$ours" "$peer"
  done
fi

# 5. Loading and saving a list of 1 000 000 lines, against a line tool that
# reads and writes every line too, and flushes what it wrote as savelist does,
# and against python3 holding the lines as a list of strings, then writing and
# fsyncing them. Ours runs as the desktop entry starts the program: the heap in
# transparent huge pages (glibc.malloc.hugetlb=1).
pylist='import os, sys
lines = open(sys.argv[1], encoding="latin-1").read().splitlines()
with open(sys.argv[2], "w", encoding="latin-1", newline="\r\n") as f:
    f.write("\n".join(lines) + "\n"); f.flush(); os.fsync(f.fileno())'
op5="load and save a list of 1 000 000 lines: loadlist+savelist (huge pages) vs awk 1 && sync"
op5p="load and save a list of 1 000 000 lines: loadlist+savelist (huge pages) vs python3 list + fsync"
for ((r = 0; r < rounds; r++)); do
  rm -f "$tmp/saved.txt" "$tmp/copied.txt" "$tmp/pylist.txt"; sync
  ours=$(t -- "${huge[@]}" "$bin/bench_textlist" "$tmp/lines.txt" "$tmp/saved.txt")
  peer=$(t -- sh -c 'awk 1 "$1" > "$2" && sync "$2"' sh "$tmp/lines.txt" "$tmp/copied.txt")
  python=$(t -- python3 -c "$pylist" "$tmp/lines.txt" "$tmp/pylist.txt")
  record "$op5" "$ours" "$peer"
  record "$op5p" "$ours" "$python"
done
# The peak memory of one run of each, in MiB (GNU time's maximum resident set).
if [ -x /usr/bin/time ]; then
  peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
  rm -f "$tmp/saved.txt" "$tmp/copied.txt" "$tmp/pylist.txt"
  ourskb=$(peak "${huge[@]}" "$bin/bench_textlist" "$tmp/lines.txt" "$tmp/saved.txt")
  peerkb=$(peak sh -c 'awk 1 "$1" > "$2" && sync "$2"' sh "$tmp/lines.txt" "$tmp/copied.txt")
  pythonkb=$(peak python3 -c "$pylist" "$tmp/lines.txt" "$tmp/pylist.txt")
  echo "peak memory of the list row ($(stat -c %s "$tmp/lines.txt") bytes): ours $((ourskb / 1024)) MiB," \
    "awk $((peerkb / 1024)) MiB, python3 $((pythonkb / 1024)) MiB" >&2
fi

# 6. Exporting a shown 100 000-row list view as CSV, against Python's csv
# writer writing the same rows; the driver alternates the two itself.
if have bench_csv && command -v python3 >/dev/null; then
  QT_QPA_PLATFORM=offscreen nice "$bin/bench_csv" "$tmp/table" "$rounds" 2>/dev/null |
  while read -r name ours peer; do
    record "export 100 000 rows as CSV: listviewtocsv vs python3 csv.writer" "$ours" "$peer"
  done
fi

# 6b. Applying a language file of 10 000 records to a window of 2 000
# controls, against loadlist reading the same file; the driver alternates the
# two itself, in one process.
if have bench_langapply; then
  mkdir -p "$tmp/lang"
  QT_QPA_PLATFORM=offscreen nice "${huge[@]}" "$bin/bench_langapply" "$tmp/lang" "$rounds" 2>/dev/null |
  while read -r name ours peer; do
    record "apply a 10 000-record language file to 2 000 controls: loadlangrecords vs loadlist" "$ours" "$peer"
  done
fi

# 7. Downloading a 256 MiB file from a web server on 127.0.0.1 (Python's
# http.server serves both), against curl -o; and hashing 512 MiB against md5sum.
# GetFile flushes its work file before it renames it over the target, so the
# second row gives curl the same flush.
if have bench_web && command -v python3 >/dev/null && command -v curl >/dev/null; then
  mkdir -p "$tmp/www" "$tmp/dl" "$tmp/home"
  "$bin/bench_mkdata" big "$tmp/www/Big.exe" 256
  "$bin/bench_mkdata" big "$tmp/hash.bin" 512
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  python3 -m http.server --bind 127.0.0.1 --directory "$tmp/www" "$port" >/dev/null 2>&1 &
  www=$!
  trap 'kill $www 2>/dev/null || true; rm -rf "$tmp"' EXIT
  for _ in $(seq 100); do curl -s -o /dev/null "http://127.0.0.1:$port/" && break; sleep 0.1; done
  url="http://127.0.0.1:$port/Big.exe"
  op7="download 256 MiB from a local web server: GetFile vs curl -o"
  op7s="  the same, peer curl -o then sync FILE (what GetFile's fsync asks)"
  for ((r = 0; r < rounds; r++)); do
    rm -f "$tmp/dl/"*; sync
    ours=$(t -- "$bin/bench_web" get "$url" "$tmp/dl/ours.exe" "LOCALFOLDER=$tmp/home")
    rm -f "$tmp/dl/"*; sync
    peer=$(t -- curl -s -o "$tmp/dl/curl.exe" "$url")
    record "$op7" "$ours" "$peer"
    rm -f "$tmp/dl/"*; sync
    peer=$(t -- sh -c 'curl -s -o "$1" "$2" && sync "$1"' sh "$tmp/dl/curl.exe" "$url")
    record "$op7s" "$ours" "$peer"
  done
  kill $www 2>/dev/null || true
  op8="MD5 of a 512 MiB file: HashFile vs md5sum"
  for ((r = 0; r < rounds; r++)); do
    ours=$(t -- "$bin/bench_web" hash "$tmp/hash.bin")
    peer=$(t -- md5sum "$tmp/hash.bin")
    record "$op8" "$ours" "$peer"
  done
  rm -rf "$tmp/www" "$tmp/dl" "$tmp/hash.bin"
fi

# 8. A server folder on a web server: nginx on 127.0.0.1 serves the index of
# 20 000 programs (made up: the catalogue reads only the index), and a folder
# of one program of 512 MiB with its index. The catalogue (the
# index fetched and listed as the window lists it) against curl fetching the
# index; the unattended install of the large program, whole process, against
# curl -o then sync FILE (the install flushes its download too).
if have bench_webfolder && [ -x "$build/installer/TessarineInstaller" ] && command -v nginx >/dev/null \
   && command -v curl >/dev/null; then
  web=$tmp/webfolder
  mkdir -p "$web/nginx" "$web/home" "$web/local" "$web/cp"
  mkdir -p "$web/catalogue" "$web/big"
  "$bin/bench_webfolder" index "$web/catalogue" 20000
  "$bin/bench_mkdata" big "$web/big/Big.exe" 512
  "$build/installer/TessarineInstaller" --make-index "$web/big" >/dev/null
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  cat > "$web/nginx/nginx.conf" <<CONF
daemon off;
master_process off;
pid $web/nginx/nginx.pid;
error_log $web/nginx/error.log;
events { worker_connections 64; }
http {
  access_log off;
  client_body_temp_path $web/nginx/body;
  proxy_temp_path $web/nginx/proxy;
  fastcgi_temp_path $web/nginx/fastcgi;
  uwsgi_temp_path $web/nginx/uwsgi;
  scgi_temp_path $web/nginx/scgi;
  default_type application/octet-stream;
  server {
    listen 127.0.0.1:$port;
    location /catalogue/ { alias $web/catalogue/; }
    location /big/ { alias $web/big/; }
  }
}
CONF
  nginx -p "$web/nginx/" -c "$web/nginx/nginx.conf" -e "$web/nginx/error.log" &
  ngx=$!
  trap 'kill $ngx 2>/dev/null || true; rm -rf "$tmp"' EXIT
  for _ in $(seq 100); do curl -s -o /dev/null "http://127.0.0.1:$port/big/" && break; sleep 0.1; done
  op9="catalogue of 20 000 programs from a web index: fetch and list vs curl fetching the index"
  for ((r = 0; r < rounds; r++)); do
    ours=$(t -- "$bin/bench_webfolder" catalogue "http://127.0.0.1:$port/catalogue/" "LOCALFOLDER=$web/home/")
    peer=$(t -- curl -s -o /dev/null "http://127.0.0.1:$port/catalogue/TessarineIndex.txt")
    record "$op9" "$ours" "$peer"
  done
  op10="install a 512 MiB program from a web server, whole process: TessarineInstaller vs curl -o && sync FILE"
  for ((r = 0; r < rounds; r++)); do
    rm -rf "$web/local" "$web/cp"; mkdir -p "$web/local" "$web/cp"; sync
    ours=$(unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
           t -- "$build/installer/TessarineInstaller" "SERVER=http://127.0.0.1:$port/big/" "LOCAL=$web/local/" \
                "INSTALL=Big.exe" "LOCALFOLDER=$web/home/")
    rm -rf "$web/local"; sync
    peer=$(t -- sh -c 'curl -s -o "$1" "$2" && sync "$1"' sh "$web/cp/Big.exe" "http://127.0.0.1:$port/big/Big.exe")
    record "$op10" "$ours" "$peer"
  done
  kill $ngx 2>/dev/null || true
  rm -rf "$web"
fi

# The table: medians of the rounds, in the order the operations ran.
awk -F'|' '
  { if (!($1 in n)) order[++count] = $1; n[$1]++; ours[$1, n[$1]] = $2; peer[$1, n[$1]] = $3 }
  function median(arr, key, k,   v, i, j, t) {
    for (i = 1; i <= k; i++) v[i] = arr[key, i] + 0
    for (i = 2; i <= k; i++) for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
    return k % 2 ? v[(k + 1) / 2] : (v[k / 2] + v[k / 2 + 1]) / 2
  }
  END {
    printf "%-82s %10s %10s %7s\n", "operation", "ours ms", "peer ms", "ratio"
    for (i = 1; i <= count; i++) {
      op = order[i]; o = median(ours, op, n[op]); p = median(peer, op, n[op])
      printf "%-82s %10.1f %10.1f %7.2f\n", op, o, p, (p > 0 ? o / p : 0)
    }
  }' "$results"
echo "(medians of $rounds runs each; $(nproc) cores; $(date -u '+%Y-%m-%d %H:%M UTC'))"
