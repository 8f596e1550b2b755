#!/usr/bin/env bash
# Runs every built fuzz target for a few seconds on a copy of its committed corpus; fails when a
# target finds a crash, a leak, a timeout or undefined behaviour. Targets run side by side, one per
# core (T4_JOBS, else every core): each run is bounded by the clock, not by work.
# Usage: fuzz/run.sh BUILD_DIR [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:?usage: fuzz/run.sh BUILD_DIR [SECONDS]}
SECONDS_PER_TARGET=${2:-5}
JOBS=${T4_JOBS:-$(nproc)}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# Runs one target; its report goes to $WORK/<name>/report so that parallel runs do not interleave.
fuzz_one() {
  local name=$1 binary=$2 dir=$WORK/$1
  mkdir -p "$dir/corpus" "$dir/artifacts"
  if [ -d "fuzz/corpus/$name" ]; then cp -r "fuzz/corpus/$name/." "$dir/corpus/"; fi
  {
    echo "== fuzz $name (${SECONDS_PER_TARGET}s) =="
    if ! (cd "$dir" && "$binary" -max_total_time="$SECONDS_PER_TARGET" -timeout=10 \
            -rss_limit_mb=2048 -artifact_prefix="$dir/artifacts/" -print_final_stats=0 corpus \
            > log.txt 2>&1); then
      tail -n 40 "$dir/log.txt"
      for artifact in "$dir"/artifacts/*; do
        [ -e "$artifact" ] && echo "fuzz: $name failed on $(od -An -tx1 "$artifact" | head -c 400)"
      done
      touch "$dir/failed"
    else
      grep -E "^#[0-9]+.*DONE" "$dir/log.txt" | tail -n 1 || true
    fi
  } > "$dir/report" 2>&1
}

status=0
names=()
for source in fuzz/*_fuzz.cpp; do
  name=$(basename "$source" .cpp)
  binary=$(realpath -m "$BUILD_DIR/fuzz/$name")
  if [ ! -x "$binary" ]; then
    echo "fuzz: $name was not built" >&2
    status=1
    continue
  fi
  while [ "$(jobs -rp | wc -l)" -ge "$JOBS" ]; do wait -n || true; done
  fuzz_one "$name" "$binary" &
  names+=("$name")
done
wait

for name in "${names[@]}"; do
  if [ -e "$WORK/$name/failed" ]; then
    cat "$WORK/$name/report" >&2
    status=1
  else
    cat "$WORK/$name/report"
  fi
done
[ "${#names[@]}" -gt 0 ] || { echo "fuzz: no targets found in $BUILD_DIR/fuzz" >&2; status=1; }
exit $status
