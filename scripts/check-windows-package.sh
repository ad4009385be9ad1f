#!/usr/bin/env bash
# Installs the Windows installer under Wine in a Wine prefix of its own (a machine that never saw
# Veltrin), runs the installed veltrin-cli.exe on freshly generated sample data, checks the
# Start-menu and uninstall entries, uninstalls, and checks that nothing is left behind. Signs the
# programs and the installer with a throwaway certificate first and verifies the signatures.
# Usage: check-windows-package.sh MSI SAMPLE_DATA_EXE
set -euo pipefail
msi="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
sample_data="$2"
work="$(mktemp -d)"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

# Signing, as build-windows.sh does it with a real certificate: a throwaway code-signing
# certificate signs the programs packed in the installer and a copy of the installer itself,
# osslsigncode verifies each against that certificate, and a changed byte breaks a signature.
# The signed copy is the one installed below, so a signed installer must still install.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Veltrin test code signing" \
    -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
    -keyout "$work/sign.key" -out "$work/sign.pem" 2>/dev/null
cp "$msi" "$work/signed.msi"
msi="$work/signed.msi"
mkdir -p "$work/extracted"
msiextract -C "$work/extracted" "$msi" >/dev/null
mapfile -t programs < <(find "$work/extracted" -iname '*.exe')
[ "${#programs[@]}" -ge 1 ] || { echo "no program found in the installer" >&2; exit 1; }
VELTRIN_SIGN_CERT="$work/sign.pem" VELTRIN_SIGN_KEY="$work/sign.key" \
    "$(dirname "$0")/sign-windows.sh" "${programs[@]}" "$msi" >/dev/null
for signed in "${programs[@]}" "$msi"; do
    osslsigncode verify -CAfile "$work/sign.pem" -in "$signed" >"$work/verify.log" 2>&1 \
        || { cat "$work/verify.log" >&2; echo "signature of $(basename "$signed") does not verify" >&2; exit 1; }
done
tampered="$work/tampered.exe"
cp "${programs[0]}" "$tampered"
printf 'X' | dd of="$tampered" bs=1 seek=$(($(stat -c %s "$tampered") / 3)) conv=notrunc 2>/dev/null
if osslsigncode verify -CAfile "$work/sign.pem" -in "$tampered" >/dev/null 2>&1; then
    echo "a changed program still verifies" >&2; exit 1
fi
echo "signatures of ${#programs[@]} programs and the installer verify"

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
signed_cli="$(printf '%s\n' "${programs[@]}" | grep -i 'veltrin-cli.exe$')"
wine "$signed_cli" --help | grep -q "veltrin-cli" || { echo "the signed veltrin-cli.exe does not run" >&2; exit 1; }
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
