#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Vastrel need,
# and any further packages named as arguments, when any of them is missing.
set -euo pipefail

packages=(
    g++ cmake make pkg-config
    qt6-base-dev qt6-qpa-plugins qt6-l10n-tools libgl-dev fonts-dejavu-core
    libsqlcipher-dev sqlcipher libssl-dev
    postgresql libpq-dev
    libxlsxwriter-dev libzip-dev zlib1g-dev
    libgtest-dev googletest
    clang-format poppler-utils xvfb xauth
    dpkg-dev file librsvg2-bin lintian desktop-file-utils man-db
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
fi
