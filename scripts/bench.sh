#!/usr/bin/env bash
# Builds and runs every benchmark (not part of the test run).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
for bench in bench_flatfile bench_entry bench_lookup bench_recap; do
    echo "== $bench"
    "$root/build/bench/$bench"
done
