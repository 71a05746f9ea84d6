#!/usr/bin/env bash
# Installs the build into a staging prefix and uses it from there: the
# programs run from their installed place, the desktop entry and the metainfo
# validate, the icons stand where desktops look for them.
# Usage: InstallTest.sh BUILD_DIR PROJECT_VERSION
set -euo pipefail
build="$1"
version="$2"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT

cmake --install "$build" --prefix "$stage/usr" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }

for file in bin/brelloc bin/brelloc-export \
            share/applications/org.brelloc.Brelloc.desktop \
            share/metainfo/org.brelloc.Brelloc.metainfo.xml \
            share/icons/hicolor/32x32/apps/brelloc.png \
            share/icons/hicolor/scalable/apps/brelloc.svg \
            share/doc/brelloc/fonts/LICENSE; do
    [[ -f "$stage/usr/$file" ]] || fail "$file was not installed"
done
[[ -x "$stage/usr/bin/brelloc" ]] || fail "brelloc is not executable"

# The installed exporter carries the project's version and writes a figure.
out="$("$stage/usr/bin/brelloc-export" --version)"
[[ "$out" == *"$version"* ]] || fail "--version printed '$out', not $version"
"$stage/usr/bin/brelloc-export" --pictex "$stage/figure.tex"
head -n 1 "$stage/figure.tex" | grep -qx '% Brelloc' || fail "installed exporter wrote no PicTeX file"
# The built-in face's licence goes with it.
grep -q 'Bitstream Vera' "$stage/usr/share/doc/brelloc/fonts/LICENSE" || fail "the fonts' licence is not the DejaVu one"

desktop-file-validate "$stage/usr/share/applications/org.brelloc.Brelloc.desktop"
appstreamcli validate --no-net --explain "$stage/usr/share/metainfo/org.brelloc.Brelloc.metainfo.xml"
file "$stage/usr/share/icons/hicolor/32x32/apps/brelloc.png" | grep -q '32 x 32' || fail "icon is not 32 x 32"
grep -q '<svg' "$stage/usr/share/icons/hicolor/scalable/apps/brelloc.svg" || fail "scalable icon is no SVG"
echo "installed layout works"
