#!/usr/bin/env bash
# Formats the project's C++ files by .clang-format.
#   scripts/format.sh           formats them in place
#   scripts/format.sh --check   changes nothing; lists the files that are not formatted and fails
set -euo pipefail
cd "$(dirname "$0")/.."
# One formatter version for everyone: another major version lays out some constructs
# differently, and CI would fail files that look right on the writer's machine.
# scripts/install-deps.sh installs it.
clang_format=clang-format-14
mapfile -t files < <(git ls-files '*.cpp' '*.h' | grep -v '/corpus/')
if [ "${1:-}" = "--check" ]; then
  bad=()
  for f in "${files[@]}"; do
    "$clang_format" --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
  done
  if ((${#bad[@]})); then
    echo "Not formatted (scripts/format.sh formats them):"
    printf '  %s\n' "${bad[@]}"
    exit 1
  fi
  echo "Formatting: ${#files[@]} files follow .clang-format."
else
  "$clang_format" -i "${files[@]}"
fi
