#!/usr/bin/env bash
# Fails when a file includes a folder its layer may not use. Each src folder is one library, and
# its tests under tests/<folder> may use what the folder may, plus tests/support. The graph:
#   platform <- core <- data <- persist;  gfx and audio need core and platform;
#   persist may use gfx (records that draw their own panels);
#   stage needs data, persist, gfx and audio; flow sits above stage (the stage reaches the flows
#   only through the hooks it declares itself); app sits on top.
# The stage's tests play stages with the flows running, so tests/stage may also include flow.
# Only the platform's device files (sdl_*, fluid_*, freetype_*) and the program's start-up
# include the headers of the device libraries.
# Usage: scripts/check_layers.sh [ROOT]   (ROOT: the repository, default: this script's)
set -euo pipefail
ROOT=${1:-"$(dirname "$0")/.."}
cd "$ROOT"

dirs=()
for d in src tests; do [ -d "$d" ] && dirs+=("$d"); done
[ ${#dirs[@]} -gt 0 ] || { echo "layers: no src or tests folder in $ROOT" >&2; exit 2; }

{
  grep -rnE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z_]+/' "${dirs[@]}" || true
  grep -rnE --include='*.h' --include='*.cpp' \
    '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(SDL2?/|SDL[._]|fluidsynth|ft2build|freetype|fontconfig/)' src || true
} | awk '
BEGIN {
  may["platform"] = "platform"
  may["core"] = "core platform"
  may["data"] = "data core platform"
  may["gfx"] = "gfx core platform"
  may["audio"] = "audio core platform"
  may["persist"] = "persist data gfx core platform"
  may["stage"] = "stage persist data gfx audio core platform"
  may["flow"] = "flow " may["stage"]
  may["app"] = "app " may["flow"]
  tests_may["stage"] = "flow"
  bad = 0
}
{
  # path:line:text
  path = $0; sub(/:.*/, "", path)
  rest = substr($0, length(path) + 2)
  line = rest; sub(/:.*/, "", line)
  text = substr(rest, length(line) + 2)
  split(path, part, "/")
  tree = part[1]; layer = part[2]
  if (text ~ /include[[:space:]]*</) {
    name = part[length(part)]
    if (path ~ /^src\/platform\// && name ~ /^(sdl|fluid|freetype)_/) next
    if (path == "src/app/program.cpp" || path == "src/app/main.cpp") next
    printf "%s:%s: only the platform device files include a device library\n", path, line
    bad = 1
    next
  }
  if (!(layer in may)) next
  folder = text; sub(/^[^"]*"/, "", folder); sub(/\/.*/, "", folder)
  if (!(folder in may)) next
  ok = " " may[layer] " "
  if (tree == "tests" && (layer in tests_may)) ok = ok tests_may[layer] " "
  if (index(ok, " " folder " ") == 0) {
    printf "%s:%s: the %s layer may not include %s/\n", path, line, layer, folder
    bad = 1
  }
}
END {
  if (!bad) print "layers: every include follows the graph"
  exit bad
}'
