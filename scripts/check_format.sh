#!/usr/bin/env bash
# Checks that every C++ file of the tree is laid out as .clang-format says, so that a diff shows
# only what changed. Usage: scripts/check_format.sh [REPO_ROOT]
# To mend: clang-format -i FILE (the tree's own .clang-format is found from the file's folder).
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

if ! command -v clang-format > /dev/null 2>&1; then
  echo "check_format: clang-format is not installed (scripts/install-deps.sh installs it)" >&2
  exit 1
fi

mapfile -t files < <(find src tests tools bench fuzz -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
# One clang-format run over all files (one per file costs minutes); each finding names its file.
mapfile -t bad < <(clang-format --dry-run --Werror "${files[@]}" 2>&1 | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error:.*/\1/p' | sort -u)

if [ ${#bad[@]} -ne 0 ]; then
  echo "check_format: ${#bad[@]} of ${#files[@]} files differ from .clang-format:" >&2
  printf '  %s\n' "${bad[@]}" >&2
  echo "check_format: run clang-format -i on them" >&2
  exit 1
fi
echo "check_format: ${#files[@]} files laid out as .clang-format says"
