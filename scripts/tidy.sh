#!/usr/bin/env bash
# Runs clang-tidy by .clang-tidy over the project's own sources; fails on a finding.
#   scripts/tidy.sh BUILD_DIR   a configured build folder (its compile_commands.json)
# The checks read the Qt moc output, so the folder is one that has been built.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: scripts/tidy.sh BUILD_DIR}
# The version pinned with the formatter: another one brings other checks and other findings.
clang_tidy=clang-tidy-14
# Read with a GCC build's flags: Clang ignores GCC's own warnings, and its -Wconversion takes in
# -Wsign-conversion, which the project leaves off (CODING_GUIDELINES.md).
extra="--extra-arg=-Wno-unknown-warning-option --extra-arg=-Wno-sign-conversion"
# The program's and the libraries' own .cpp files that this build compiles, and through them
# their headers; the tests and the benchmarks are not checked yet.
mapfile -t files < <(python3 - "$build/compile_commands.json" <<'PY'
import json, os, subprocess, sys
built = {os.path.realpath(entry["file"]) for entry in json.load(open(sys.argv[1]))}
for name in subprocess.run(["git", "ls-files", "*.cpp"], capture_output=True, text=True, check=True).stdout.split():
    if not name.startswith(("bench/", "tests/")) and os.path.realpath(name) in built:
        print(name)
PY
)
# One file a job; a job's output is printed whole, so findings do not interleave.
printf '%s\n' "${files[@]}" \
  | xargs -P "${TIDY_JOBS:-$(nproc)}" -I{} sh -c 'out=$('"$clang_tidy $extra"' -p "$0" --quiet "$1" 2>&1) || { printf "%s\n" "$out"; exit 1; }' "$build" {} \
  && echo "clang-tidy: ${#files[@]} files, no findings."
