#!/usr/bin/env bash
# Formats the C++ sources with the project's .clang-format, or with --check only reports the files
# that formatting would change (and fails when there are any).
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--check" ]; then
  changed=()
  for f in "${files[@]}"; do
    if ! clang-format --style=file "$f" | cmp -s - "$f"; then
      changed+=("$f")
    fi
  done
  if ((${#changed[@]})); then
    printf 'clang-format would change: %s\n' "${changed[@]}" >&2
    exit 1
  fi
  echo "clang-format: ${#files[@]} files unchanged"
else
  clang-format --style=file -i "${files[@]}"
fi
