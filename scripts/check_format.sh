#!/usr/bin/env bash
# Fails, naming the files, when a C++ source file differs from the committed .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
bad=()
while IFS= read -r f; do
  clang-format --style=file "$f" | cmp -s - "$f" || bad+=("$f")
done < <(git ls-files -- '*.cpp' '*.h')
if [ ${#bad[@]} -ne 0 ]; then
  echo "These files differ from .clang-format (run: clang-format -i FILE):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
