#!/usr/bin/env bash
# Builds the browser edition into OUTDIR: the page, its scripts and style, and
# the model compiled to WebAssembly in one script file (brelloc-model.js).
# With a second folder, also builds the number-format driver there.
# Usage: web/build.sh OUTDIR [DRIVERDIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:?usage: web/build.sh OUTDIR [DRIVERDIR]}"
driver_out="${2:-}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"

# Emscripten's optimiser runs on node and needs Debian's acorn, which a node
# of another origin does not look for by itself.
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
# Debian's emscripten ships its system libraries prebuilt in a read-only
# cache; compiling never writes there. Temporary files go to our own folder.
export EMCC_TEMP_DIR="${EMCC_TEMP_DIR:-${TMPDIR:-/tmp}}"
emxx="${EMXX:-em++}"

version="$(sed -n 's/^ *VERSION \([0-9.]*\)$/\1/p' "$root/CMakeLists.txt" | head -n 1)"
flags=(-std=c++17 -O2 -Wall -Wextra
       # Exact comparisons of contour levels: no fused multiply-adds, as natively.
       -ffp-contract=off
       -DBRELLOC_VERSION="\"$version\""
       -I"$root/model" -I"$root/output" -I"$root/platform" -I"$root/ui")
# The whole model: it depends on nothing but the standard library.
model=("$root"/model/*.cpp)
# (The file writer behind WritePicTeXFile is not needed: the page writes
# into memory, and the linker drops what refers to it.)
writer=("$root"/output/{PicTeXWriter,PicTeXSink,PrintedReport,FlowNetFigure,DivideMarks}.cpp
        "$root/ui/HelpTexts.cpp")
link=(-sSINGLE_FILE=1 -sMODULARIZE=1 -sENVIRONMENT=web,node -sALLOW_MEMORY_GROWTH=1
      -sFILESYSTEM=0 -sEXPORTED_RUNTIME_METHODS=UTF8ToString)

"$emxx" "${flags[@]}" "${link[@]}" -sEXPORT_NAME=createBrellocModel \
    "${model[@]}" "${writer[@]}" "$root/web/wasm/BrellocWeb.cpp" \
    -sEXPORTED_FUNCTIONS=_malloc,_free \
    -o "$out/brelloc-model.js"

cp "$root"/web/page/*.html "$root"/web/page/*.css "$root"/web/page/*.js "$out/"
mkdir -p "$out/glyphs"
cp "$root"/ui/glyphs/{calculate,print,pictex,help,brelloc}.png "$out/glyphs/"

if [[ -n "$driver_out" ]]; then
    mkdir -p "$driver_out"
    "$emxx" "${flags[@]}" -sSINGLE_FILE=1 -sENVIRONMENT=node \
        "$root/model/NumberFormat.cpp" "$root/tests/web/NumberFormatTable.cpp" \
        -o "$driver_out/number-format-table.js"
fi
