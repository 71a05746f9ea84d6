#!/usr/bin/env bash
# Builds the browser edition into build/web and serves it at
# http://localhost:8000 (any static server will do; the folder also works
# opened straight from the disk). "scripts/web.sh build" only builds.
# Installs the Debian packages it needs first.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" web
site="$root/build/web"
"$root/web/build.sh" "$site"
echo "Built the page into $site"
[[ "${1:-}" == build ]] && exit 0
echo "Serving it at http://localhost:8000 (Ctrl+C stops)"
cd "$site"
exec python3 -m http.server 8000 --bind 127.0.0.1
