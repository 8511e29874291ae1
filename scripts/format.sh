#!/usr/bin/env bash
# Formats the project's C++ files by .clang-format.
#   scripts/format.sh           formats them in place
#   scripts/format.sh --check   changes nothing; lists the files that are not formatted and fails
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h' | grep -v '/corpus/')
if [ "${1:-}" = "--check" ]; then
  bad=()
  for f in "${files[@]}"; do
    clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
  done
  if ((${#bad[@]})); then
    echo "Not formatted (scripts/format.sh formats them):"
    printf '  %s\n' "${bad[@]}"
    exit 1
  fi
  echo "Formatting: ${#files[@]} files follow .clang-format."
else
  clang-format -i "${files[@]}"
fi
