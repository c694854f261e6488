#!/usr/bin/env bash
# Sets up, builds and runs every test, then builds and checks the Debian package.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$root/build" --output-on-failure -j2
"$root/scripts/package-check.sh" "$root/build"
