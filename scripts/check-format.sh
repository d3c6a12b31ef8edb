#!/usr/bin/env bash
# Fails when a tracked C++ source differs from what clang-format makes of it (the repository's .clang-format),
# naming each file; `scripts/check-format.sh --fix` rewrites them in place instead.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i -- "${files[@]}"
  exit 0
fi
deviating=()
for f in "${files[@]}"; do
  clang-format --dry-run -Werror -- "$f" >/dev/null 2>&1 || deviating+=("$f")
done
if [ ${#deviating[@]} -ne 0 ]; then
  echo "check-format: ${#deviating[@]} of ${#files[@]} files are not formatted:" >&2
  printf '  %s\n' "${deviating[@]}" >&2
  echo "check-format: run scripts/check-format.sh --fix (or clang-format -i on those files) and commit" >&2
  exit 1
fi
echo "check-format: all ${#files[@]} files formatted"
