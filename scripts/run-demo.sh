#!/usr/bin/env bash
# Sets up, builds, creates the demo installation in build/demo when there is
# none, and starts Vastrel on it (demo login: DEMO / DEMO).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh"
demo="$root/build/demo"
if [ ! -f "$demo/MANIFEST.INI" ]; then
    printf "demo-db-password\n" | "$root/build/cli/vastrel-admin" init "$demo" --password-stdin --demo
fi
echo "Demo login: user DEMO, password DEMO"
exec "$root/build/app/vastrel" --home "$demo" "$@"
