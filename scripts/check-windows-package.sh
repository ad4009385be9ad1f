#!/usr/bin/env bash
# Installs the Windows installer under Wine in a Wine prefix of its own (a machine that never saw
# Veltrin), runs the installed veltrin-cli.exe on freshly generated sample data, checks the
# Start-menu and uninstall entries, uninstalls, and checks that nothing is left behind.
# Usage: check-windows-package.sh MSI SAMPLE_DATA_EXE
set -euo pipefail
msi="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
sample_data="$2"
work="$(mktemp -d)"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

wineboot -i >/dev/null 2>&1
installed="$WINEPREFIX/drive_c/Program Files/Veltrin"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

wine msiexec /i "$(winepath -w "$msi")" /qn
test -f "$installed/veltrin-cli.exe" || { echo "veltrin-cli.exe was not installed" >&2; exit 1; }
wine reg query "$uninstall_key" /s 2>/dev/null | grep -q "DisplayName.*Veltrin" \
    || { echo "no uninstall entry" >&2; exit 1; }
if [ -f "$installed/veltrin.exe" ]; then
    find "$WINEPREFIX/drive_c" -ipath '*Start Menu*' -name 'Veltrin.lnk' | grep -q . \
        || { echo "no Start-menu entry for veltrin.exe" >&2; exit 1; }
fi

cli='C:\Program Files\Veltrin\veltrin-cli.exe'
wine "$cli" --help | grep -q "veltrin-cli" || { echo "installed --help failed" >&2; exit 1; }
wine "$sample_data" --out "$(winepath -w "$work/data")" --size tiny >/dev/null
for file in "$work"/data/*.hex "$work"/data/*.par; do
    wine "$cli" check "$(winepath -w "$file")"
done

wine msiexec /x "$(winepath -w "$msi")" /qn
test ! -e "$installed/veltrin-cli.exe" || { echo "veltrin-cli.exe left after uninstall" >&2; exit 1; }
if wine reg query "$uninstall_key" /s 2>/dev/null | grep -q "DisplayName.*Veltrin"; then
    echo "uninstall entry left after uninstall" >&2; exit 1
fi
echo "windows package check passed"
