#!/usr/bin/env bash
# Formats every C++ file of the project in place with the repository's .clang-format; with
# --check, changes nothing and lists the files that differ (exit 1 when any does).
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -co --exclude-standard -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' \
  'tests/*.h' 'bench/*.cpp' 'bench/*.h' | while read -r f; do [ -f "$f" ] && echo "$f"; done)
if [ "${1:-}" = "--check" ]; then
  bad=0
  for f in "${files[@]}"; do
    if ! clang-format --style=file "$f" | cmp -s - "$f"; then
      echo "not formatted: $f (run tools/format.sh)"
      bad=1
    fi
  done
  exit $bad
fi
clang-format --style=file -i "${files[@]}"
