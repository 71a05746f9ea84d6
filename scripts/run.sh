#!/usr/bin/env bash
# Builds Brelloc and starts it. Installs the Debian packages it needs first.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" run
build="$root/build/release"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBRELLOC_TESTS=OFF -DBRELLOC_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target brelloc
exec "$build/ui/brelloc" "$@"
