#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests, reached through a Unix socket in DIR only,
# with password login for the user "vastrel".
#   pg-cluster.sh start DIR PASSWORD
#   pg-cluster.sh stop DIR
set -euo pipefail
bindir="$(pg_config --bindir)" # initdb and pg_ctl are not on PATH
dir="$2"

# The server refuses to run as root: then it runs as the postgres system user.
as_server() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

case "$1" in
start)
    mkdir -p "$dir"
    printf '%s\n' "$3" >"$dir/pwfile"
    if [ "$(id -u)" -eq 0 ]; then chown -R postgres "$dir"; fi
    as_server "$bindir/initdb" -D "$dir/data" -U vastrel --pwfile="$dir/pwfile" \
        -A scram-sha-256 -E UTF8 --locale=C >"$dir/initdb.log"
    rm -f "$dir/pwfile"
    as_server "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
        -o "-k $dir -c listen_addresses='' -c fsync=off" start >/dev/null
    ;;
stop)
    as_server "$bindir/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null
    ;;
*)
    echo "usage: pg-cluster.sh start DIR PASSWORD | stop DIR" >&2
    exit 2
    ;;
esac
