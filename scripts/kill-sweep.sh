#!/usr/bin/env bash
# Kills unattended installs of a large program with SIGKILL at random moments
# and checks, after the next run into the same folder, that the program is
# whole under its name and its chain of generations is exactly the one before
# the killed install or exactly the one after it, with nothing left behind.
#   scripts/kill-sweep.sh [ROUNDS] [MEBIBYTES]     (defaults: 50 rounds, 256 MiB)
# Needs a built build/installer/TessarineInstaller (./run.sh or ./test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-50}
mebibytes=${2:-256}
program=$PWD/build/installer/TessarineInstaller
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work
server=$work/server/ local=$work/local/
mkdir -p "$server" "$local"
head -c $((mebibytes << 20)) /dev/urandom >"$server/Stock.exe"
echo probe >"$server/Probe.exe"
new=$(sha256sum <"$server/Stock.exe" | cut -d' ' -f1)

# The chain as "name digest" lines, hidden files included.
chain() { (cd "$local" && for f in Stock.exe* .[!.]*; do if [ -e "$f" ]; then echo "$f $(sha256sum <"$f" | cut -c1-16)"; fi; done) | sort; }

killed=0 finished=0
for round in $(seq 1 "$rounds"); do
  rm -rf "$local" && mkdir -p "$local"
  echo current >"$local/Stock.exe"
  for n in 01 02 05 09 10; do echo "generation $n" >"$local/Stock.exe.X$n"; done
  before=$(chain)
  "$program" SERVER="$server" LOCAL="$local" INSTALL=Stock.exe LOCALFOLDER="$work/" >/dev/null 2>&1 &
  pid=$!
  sleep "0.$(printf '%03d' $((RANDOM % 1000)))"
  if kill -9 "$pid" 2>/dev/null; then killed=$((killed + 1)); else finished=$((finished + 1)); fi
  wait "$pid" 2>/dev/null || true
  # The next run into the folder puts right what the killed one left.
  "$program" SERVER="$server" LOCAL="$local" INSTALL=Probe.exe LOCALFOLDER="$work/" >/dev/null 2>&1
  rm -f "$local/Probe.exe"
  now=$(chain)
  current=$(sha256sum <"$local/Stock.exe" | cut -d' ' -f1)
  if [ "$now" = "$before" ]; then
    outcome=old
  elif [ "$current" = "$new" ] && [ "$(grep -c . <<<"$now")" = 6 ] \
    && grep -q "^Stock.exe.X01 $(sha256sum <<<current | cut -c1-16)" <<<"$now" \
    && grep -q "^Stock.exe.X10 $(sha256sum <<<'generation 09' | cut -c1-16)" <<<"$now"; then
    outcome=new
  else
    echo "round $round: the chain is neither the old one nor the new one:"
    echo "$now"
    exit 1
  fi
  printf 'round %2d: %s chain\n' "$round" "$outcome"
done
echo "$rounds rounds ($killed killed mid-run, $finished finished first): every chain exact, nothing left behind"
