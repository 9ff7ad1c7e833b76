#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, once: when all of
# them are present it only checks and returns.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config patch
    juce-modules-source libasound2-dev libcurl4-openssl-dev
    libx11-dev libxext-dev libxcursor-dev libxinerama-dev libxrender-dev libxrandr-dev libxdamage-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool x11-utils x11-apps imagemagick
    openssl python3 util-linux iproute2 acl
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "== packages: all present"
    exit 0
fi

echo "== packages: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
