#!/usr/bin/env bash
# Builds the Debian package of a build folder, installs it, and runs the installed programs on
# freshly generated sample data. As root (CI) the package is installed into the machine with
# dpkg; otherwise it is unpacked into a scratch folder, which checks the same files.
set -euo pipefail
build="$(cd "$1" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/pkg" >/dev/null)
deb="$(ls "$work"/pkg/*.deb | head -n 1)"
echo "package: $(basename "$deb")"
dpkg-deb --info "$deb" | sed -n 's/^ *\(Package\|Version\|Depends\):/\1:/p'

# The package's own files, for the checks of what it ships (its manual pages, not the machine's).
dpkg-deb -x "$deb" "$work/root"
mandir="$work/root/usr/share/man/man1"
if [ "$(id -u)" -eq 0 ] && [ "${CI:-}" = "true" ]; then
    # --reinstall: a machine that already has this version installed gets this build's files,
    # not the programs an earlier build left there.
    DEBIAN_FRONTEND=noninteractive apt-get install -y --reinstall --no-install-recommends "$deb" >/dev/null
    bindir=/usr/bin
else
    bindir="$work/root/usr/bin"
fi

# Debian's own checks: errors fail the package, warnings are shown. Every program has its
# manual page and every page reads cleanly, so a warning about manual pages fails it as well.
lintian_tags="$(lintian --fail-on error --no-tag-display-limit "$deb")" || {
    echo "$lintian_tags"
    exit 1
}
if [ -n "$lintian_tags" ]; then echo "$lintian_tags"; fi
if grep -E '(no-manual-page|manpage|groff-message|whatis)' <<<"$lintian_tags" >/dev/null; then
    echo "lintian finds fault with the manual pages" >&2
    exit 1
fi
# The programs are built with the distribution's hardening flags.
if grep -E 'hardening-' <<<"$lintian_tags" >/dev/null; then
    echo "lintian finds programs built without hardening flags" >&2
    exit 1
fi
# Test parts stay out of the package, and so do their libraries.
if dpkg-deb --contents "$deb" | grep -E 'update-server' >/dev/null ||
    dpkg-deb --field "$deb" Depends | grep -F 'httplib' >/dev/null; then
    echo "the package holds the test HTTPS server or depends on its library" >&2
    exit 1
fi

for program in veltrin-cli pipette-sim veltrin-sample-data; do
    test -x "$bindir/$program" || { echo "missing $bindir/$program" >&2; exit 1; }
done
"$bindir/veltrin-cli" --help >/dev/null
zcat "$mandir/veltrin-cli.1.gz" | grep -qF 'all\-ports' ||
    { echo "the manual page veltrin-cli(1) is missing or incomplete" >&2; exit 1; }
"$(dirname "$0")/check-manpages.sh" "$mandir"/*.1.gz
"$bindir/veltrin-sample-data" --out "$work/data" --size tiny >/dev/null
for file in "$work"/data/*.hex "$work"/data/*.par; do
    "$bindir/veltrin-cli" check "$file"
done
echo "package check passed"
