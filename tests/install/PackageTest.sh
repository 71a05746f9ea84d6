#!/usr/bin/env bash
# Builds the Debian package and checks what it holds and what it depends on.
# Usage: PackageTest.sh BUILD_DIR
set -euo pipefail
build="$1"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >/dev/null
deb="$(ls "$out"/*.deb)"
[[ -f "$deb" ]] || fail "no .deb was made"

depends="$(dpkg-deb -f "$deb" Depends)"
for needed in libqt6widgets6 libqt6printsupport6 libqt6svg6 libqt6gui6 qt6-qpa-plugins libstdc++6; do
    [[ "$depends" == *"$needed"* ]] || fail "package does not depend on $needed (Depends: $depends)"
done
contents="$(dpkg-deb -c "$deb")"
for file in ./usr/bin/brelloc ./usr/bin/brelloc-export ./usr/share/applications/org.brelloc.Brelloc.desktop \
            ./usr/share/metainfo/org.brelloc.Brelloc.metainfo.xml ./usr/share/doc/brelloc/fonts/LICENSE; do
    grep -q " $file\$" <<<"$contents" || fail "package lacks $file"
done
echo "package $(basename "$deb") depends on: $depends"
