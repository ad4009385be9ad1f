#!/usr/bin/env bash
# The installer on Windows versions below and at the oldest supported one: it names the versions
# it needs in its launch condition, refuses to install on Windows Vista (nothing is left on the
# disk) and installs on Windows 7 SP1 and Windows 10. Each Windows is a Wine prefix set to it.
# Usage: msi-windows-versions.sh MSI
set -euo pipefail
msi="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
work="$(mktemp -d)"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "$*" >&2; exit 1; }

condition="$(msiinfo export "$msi" LaunchCondition)"
grep -q 'VersionNT = 601 AND ServicePackLevel >= 1' <<<"$condition" \
    || fail "no launch condition for Windows 7 SP1: $condition"
grep -q 'needs Windows 7 with Service Pack 1 or a later Windows' <<<"$condition" \
    || fail "the launch condition does not say which Windows it needs: $condition"

wineboot -i >/dev/null 2>&1
installed="$WINEPREFIX/drive_c/Program Files/Veltrin/veltrin-cli.exe"
windows_msi="$(winepath -w "$msi")"
for version in vista win7 win10; do
    wine reg add 'HKCU\Software\Wine' /v Version /d "$version" /f >/dev/null 2>&1
    status=0
    wine msiexec /i "$windows_msi" /qn >/dev/null 2>&1 || status=$?
    if [ "$version" = vista ]; then
        [ "$status" -ne 0 ] || fail "the installer ran on Windows Vista"
        [ ! -e "$installed" ] || fail "the refused installer left veltrin-cli.exe behind"
    else
        [ "$status" -eq 0 ] || fail "the installer failed on $version (status $status)"
        [ -f "$installed" ] || fail "nothing installed on $version"
        wine msiexec /x "$windows_msi" /qn >/dev/null 2>&1 || fail "uninstall failed on $version"
    fi
    echo "$version: installer status $status"
done
echo "installer windows versions check passed"
