#!/usr/bin/env bash
# Runs every built fuzz target for a few seconds on a copy of its committed corpus; fails when a
# target finds a crash, a leak, a timeout or undefined behaviour.
# Usage: fuzz/run.sh BUILD_DIR [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:?usage: fuzz/run.sh BUILD_DIR [SECONDS]}
SECONDS_PER_TARGET=${2:-5}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

status=0
found=0
for source in fuzz/*_fuzz.cpp; do
  name=$(basename "$source" .cpp)
  binary=$(realpath -m "$BUILD_DIR/fuzz/$name")
  if [ ! -x "$binary" ]; then
    echo "fuzz: $name was not built" >&2
    status=1
    continue
  fi
  found=1
  mkdir -p "$WORK/$name/corpus" "$WORK/$name/artifacts"
  if [ -d "fuzz/corpus/$name" ]; then cp -r "fuzz/corpus/$name/." "$WORK/$name/corpus/"; fi
  echo "== fuzz $name (${SECONDS_PER_TARGET}s) =="
  if ! (cd "$WORK/$name" && "$binary" -max_total_time="$SECONDS_PER_TARGET" -timeout=10 \
          -rss_limit_mb=2048 -artifact_prefix="$WORK/$name/artifacts/" -print_final_stats=0 corpus \
          > log.txt 2>&1); then
    tail -n 40 "$WORK/$name/log.txt" >&2
    for artifact in "$WORK/$name"/artifacts/*; do
      [ -e "$artifact" ] && echo "fuzz: $name failed on $(od -An -tx1 "$artifact" | head -c 400)" >&2
    done
    status=1
  else
    grep -E "^#[0-9]+.*DONE" "$WORK/$name/log.txt" | tail -n 1 || true
  fi
done
[ "$found" -eq 1 ] || { echo "fuzz: no targets found in $BUILD_DIR/fuzz" >&2; status=1; }
exit $status
