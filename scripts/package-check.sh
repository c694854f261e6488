#!/usr/bin/env bash
# Builds the Debian package in BUILD_DIR (default build/) and checks it: its contents,
# the desktop entry, lintian, the dependencies, the programs and the man pages.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"

failures=0
fail() {
    echo "package-check: FAIL: $*" >&2
    failures=$((failures + 1))
}

cmake --build "$build" --target package
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
deb="$build/vastrel_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "package-check: FAIL: no $deb" >&2; exit 1; }
echo "Checking $deb"

contents="$(dpkg-deb -c "$deb")"
for path in usr/bin/vastrel usr/bin/vastrel-admin \
    usr/share/applications/vastrel.desktop \
    usr/share/icons/hicolor/scalable/apps/vastrel.svg \
    usr/share/icons/hicolor/{48x48,128x128,256x256}/apps/vastrel.png \
    usr/share/man/man1/{vastrel,vastrel-admin}.1.gz \
    usr/share/doc/vastrel/{README.md,copyright,changelog.gz}; do
    grep -q " \./$path\$" <<<"$contents" || fail "$path is not in the package"
done

depends="$(dpkg-deb -f "$deb" Depends)"
for library in libqt6widgets6 libsqlcipher; do
    grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done

# lintian fails on errors (E:); warnings and notes are only shown.
lintian --allow-root --display-info "$deb" || fail "lintian reports errors"

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
dpkg-deb -x "$deb" "$tmp"

desktop-file-validate "$tmp/usr/share/applications/vastrel.desktop" ||
    fail "vastrel.desktop is not valid"

printed="$("$tmp/usr/bin/vastrel" --version)" || fail "vastrel --version exits $?"
grep -qx "vastrel $version" <<<"$printed" || fail "vastrel --version prints '$printed'"
"$tmp/usr/bin/vastrel-admin" --help >/dev/null || fail "vastrel-admin --help exits $?"

for page in "$tmp"/usr/share/man/man1/*.1.gz; do
    warnings="$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)"
    [ -z "$warnings" ] || fail "$(basename "$page") renders with warnings: $warnings"
done

if ((failures)); then
    echo "package-check: $failures problem(s) in $deb" >&2
    exit 1
fi
echo "package-check: $deb is fine ($SECONDS s)"
