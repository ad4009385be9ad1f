#!/usr/bin/env bash
# Authenticode-signs Windows programs and installers in place with osslsigncode.
# Usage: sign-windows.sh FILE...
# VELTRIN_SIGN_CERT  the code-signing certificate, PEM (with its intermediates after it)
# VELTRIN_SIGN_KEY   its private key, PEM (unencrypted, or give VELTRIN_SIGN_KEY_PASS_FILE)
# VELTRIN_SIGN_TIMESTAMP_URL  optional RFC 3161 time-stamp server: a signature with a time
#                    stamp stays valid after the certificate expires
# A file that was signed before gets the new signature instead of the old one.
set -euo pipefail
: "${VELTRIN_SIGN_CERT:?names no certificate}" "${VELTRIN_SIGN_KEY:?names no key}"
for pem in "$VELTRIN_SIGN_CERT" "$VELTRIN_SIGN_KEY"; do
    [ -r "$pem" ] || { echo "sign-windows: cannot read $pem" >&2; exit 1; }
done
options=(-certs "$VELTRIN_SIGN_CERT" -key "$VELTRIN_SIGN_KEY" -h sha256 -n "Veltrin")
if [ -n "${VELTRIN_SIGN_KEY_PASS_FILE:-}" ]; then
    options+=(-readpass "$VELTRIN_SIGN_KEY_PASS_FILE")
fi
if [ -n "${VELTRIN_SIGN_TIMESTAMP_URL:-}" ]; then
    options+=(-ts "$VELTRIN_SIGN_TIMESTAMP_URL")
fi
for file in "$@"; do
    # Written beside the file and moved over it, so a failed signing leaves the file as it was.
    signed="$file.signing"
    rm -f "$signed"
    if ! osslsigncode sign "${options[@]}" -in "$file" -out "$signed" >"$signed.log" 2>&1; then
        cat "$signed.log" >&2
        rm -f "$signed" "$signed.log"
        echo "sign-windows: signing $file failed" >&2
        exit 1
    fi
    rm -f "$signed.log"
    mv -f "$signed" "$file"
    echo "signed $file"
done
