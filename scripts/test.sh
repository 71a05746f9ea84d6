#!/usr/bin/env bash
# Builds Brelloc and runs every test. Installs the Debian packages it needs first.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" test
jobs="$(nproc)"

echo "== Build and test"
build="$root/build/test"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel "$jobs"
ctest --test-dir "$build" --output-on-failure --parallel "$jobs" --timeout 600
