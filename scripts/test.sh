#!/usr/bin/env bash
# Sets up, builds and runs every test, then builds and checks the Debian package.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen

# The tests of the server backend use a throwaway PostgreSQL cluster of their own.
server="$(mktemp -d)"
export VASTREL_TEST_SERVER_HOST="$server"
export VASTREL_TEST_SERVER_PASSWORD="vastrel-test-$RANDOM$RANDOM"
"$root/scripts/pg-cluster.sh" start "$server" "$VASTREL_TEST_SERVER_PASSWORD"
trap '"$root/scripts/pg-cluster.sh" stop "$server"; rm -rf "$server"' EXIT

ctest --test-dir "$root/build" --output-on-failure -j2
"$root/scripts/package-check.sh" "$root/build"
