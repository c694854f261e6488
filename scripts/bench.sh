#!/usr/bin/env bash
# Builds and runs every benchmark (not part of the test run).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
for bench in bench_flatfile bench_history bench_entry bench_lookup bench_recap bench_reference; do
    echo "== $bench"
    "$root/build/bench/$bench"
done

# The server benchmark on a throwaway PostgreSQL cluster of its own.
server="$(mktemp -d)"
export VASTREL_TEST_SERVER_HOST="$server"
export VASTREL_TEST_SERVER_PASSWORD="vastrel-bench-$RANDOM$RANDOM"
"$root/scripts/pg-cluster.sh" start "$server" "$VASTREL_TEST_SERVER_PASSWORD"
trap '"$root/scripts/pg-cluster.sh" stop "$server"; rm -rf "$server"' EXIT
echo "== bench_server"
"$root/build/bench/bench_server" "$@"
echo "== bench_history (server)"
VASTREL_TEST_BACKEND=server "$root/build/bench/bench_history"
echo "== bench_reference (server)"
VASTREL_TEST_BACKEND=server "$root/build/bench/bench_reference"
