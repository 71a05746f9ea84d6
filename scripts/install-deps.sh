#!/usr/bin/env bash
# Installs the Debian packages of scripts/debian-packages.txt that are missing.
# Usage: scripts/install-deps.sh run|web|test (test installs every package)
set -euo pipefail
purpose=${1:-test}
list="$(dirname "$0")/debian-packages.txt"

wanted=()
while read -r name need _; do
    [[ -z "$name" || "$name" == \#* ]] && continue
    if [[ "$purpose" == test || "$need" == "$purpose" ]]; then
        wanted+=("$name")
    fi
done < "$list"

missing=()
for name in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$name")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing Debian packages: ${missing[*]}"
sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
