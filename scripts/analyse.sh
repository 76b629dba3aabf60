#!/usr/bin/env bash
# Static analysis of src/: clang-tidy with the checks of .clang-tidy, then cppcheck, both over the
# compile commands of a build tree. Prints every finding and fails when there is any.
#   scripts/analyse.sh [build-dir]     build/release unless given
# A build tree that does not exist yet is configured; the sources Qt generates (moc, forms) are
# brought up to date first, since the program's files include them.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build/release}
jobs=$(nproc)

for tool in clang-tidy cppcheck ninja; do
  if ! command -v "$tool" >/dev/null; then
    echo "analyse.sh: $tool is missing (scripts/setup.sh installs it)" >&2
    exit 2
  fi
done

if [ ! -f "$build/compile_commands.json" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTROVA_BENCH=OFF >/dev/null
fi
generated=$(ninja -C "$build" -t targets all | sed -n 's/^\([A-Za-z0-9_]*_autogen\): phony$/\1/p' | sort -u)
if [ -n "$generated" ]; then
  # shellcheck disable=SC2086 # one target per word
  cmake --build "$build" --target $generated >/dev/null
fi

mapfile -t sources < <(python3 - "$build/compile_commands.json" "$root/src/" <<'EOF'
import json, sys
entries = json.load(open(sys.argv[1]))
print("\n".join(sorted({e["file"] for e in entries if e["file"].startswith(sys.argv[2])})))
EOF
)
if ((${#sources[@]} == 0)); then
  echo "analyse.sh: no source of src/ in $build/compile_commands.json" >&2
  exit 2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

# clang-tidy reads the compiler's command line, written for GCC: a warning option clang does not
# know is not a finding. Every warning of a selected check counts as an error.
echo "== clang-tidy: ${#sources[@]} files"
start=$SECONDS
# shellcheck disable=SC2016 # expanded by the inner shell
printf '%s\0' "${sources[@]}" |
  xargs -0 -n 1 -P "$jobs" sh -c \
    'clang-tidy -p "$1" --quiet --warnings-as-errors="*" --extra-arg=-Wno-unknown-warning-option "$3" \
       >"$2/$(echo "$3" | tr / _).log" 2>&1 || echo "$3" >>"$2/failed"' sh "$build" "$work" ||
  true
# The same header's finding is reported once per file that includes it.
cat "$work"/*.log | grep -E '^/.*: (warning|error): ' | sed "s|^$root/||" | sort -u >"$work/tidy" || true
if [ -s "$work/tidy" ] || [ -f "$work/failed" ]; then
  status=1
  cat "$work/tidy"
  if [ ! -s "$work/tidy" ]; then
    # A failure without a finding: show what the tool said.
    while read -r file; do cat "$work/$(echo "$file" | tr / _).log"; done <"$work/failed"
  fi
  echo "   clang-tidy: $(wc -l <"$work/tidy") findings ($((SECONDS - start)) s)"
else
  echo "   no findings ($((SECONDS - start)) s)"
fi

# cppcheck at the levels that find faults (warning, performance, portability) and the style checks
# (duplicated expressions, conditions always true, unread variables, ...), except two matters of
# taste: useStlAlgorithm (a raw loop where an algorithm could be used) and shadowFunction (a local
# variable named like a member function: `title` in showException, `line` in TMemo).
echo "== cppcheck"
start=$SECONDS
mkdir -p "$work/cppcheck"
if ! cppcheck --project="$build/compile_commands.json" --file-filter='src/*' \
  --enable=warning,performance,portability,style --std=c++20 --library=qt --inline-suppr \
  --suppress=missingIncludeSystem --suppress=useStlAlgorithm --suppress=shadowFunction \
  --cppcheck-build-dir="$work/cppcheck" -j "$jobs" --quiet --error-exitcode=1 \
  --template='{file}:{line}:{column}: {severity}: {message} [{id}]' 2>"$work/cppcheck.log"; then
  status=1
fi
if [ -s "$work/cppcheck.log" ]; then
  status=1
  cat "$work/cppcheck.log"
  echo "   cppcheck: $(grep -c ': ' "$work/cppcheck.log") findings ($((SECONDS - start)) s)"
else
  echo "   no findings ($((SECONDS - start)) s)"
fi
exit $status
