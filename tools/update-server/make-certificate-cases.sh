#!/bin/sh
# Makes the small PKI of the certificate tests with the openssl command:
#   make-certificate-cases.sh OUTDIR
# OUTDIR/root.pem is the CA the clients trust; for every case NAME, OUTDIR/NAME.pem is the
# chain its server sends (leaf first) and OUTDIR/NAME.key its key; root.crl (DER) is the
# root's revocation list, which the certificate "revoked" names as where to look.
# Every run makes new keys, so nothing made here is trusted anywhere else.
set -eu
out="$1"
mkdir -p "$out"
cd "$out"
# Revocation lists are looked up by the Windows client under Wine, on its Z: drive.
here=$(pwd)
work=work
rm -rf "$work"
mkdir "$work"

now() { date -u -d "$1" +%Y%m%d%H%M%SZ; }
key() { openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out "$1" 2>/dev/null; }

# full_signature x509|crl FILE: whether both halves (r, s) of the ECDSA signature fill their
# 32 bytes. Wine's crypt32 hands a shorter one to its verifier unpadded and calls the signature
# invalid (about one signature in 128), so such a certificate or list is signed again.
full_signature() {
    openssl "$1" -in "$2" -noout -text 2>/dev/null | awk '
        /Signature Value:/ { take = 1; next }
        take && /^ +[0-9a-f][0-9a-f](:[0-9a-f][0-9a-f])*:?$/ {
            gsub(/[ :]/, ""); hex = hex $0; next }
        take { take = 0 }
        function byte(at) {
            return 16 * (index("0123456789abcdef", substr(hex, at, 1)) - 1) + \
                   index("0123456789abcdef", substr(hex, at + 1, 1)) - 1
        }
        # The INTEGER whose tag starts at hex digit "at": 32 bytes of value, with or without
        # the zero byte that keeps a high first bit positive.
        function half(at) {
            return substr(hex, at, 2) == "02" &&
                   (byte(at + 2) == 33 || (byte(at + 2) == 32 && substr(hex, at + 4, 2) != "00"))
        }
        END { exit !(substr(hex, 1, 2) == "30" && half(5) && half(9 + 2 * byte(7))) }'
}

# issue NAME SUBJECT KEY ISSUER_CERT ISSUER_KEY SERIAL START END EXTENSIONS
# Signs NAME.crt with openssl ca; ISSUER_CERT "self" makes a self-signed certificate. Each
# certificate gets a database of its own, so its serial number is exactly SERIAL.
issue() {
    name=$1 subject=$2 subjectKey=$3 issuer=$4 issuerKey=$5 serial=$6 start=$7 end=$8
    db="$work/$name"
    mkdir -p "$db"
    cat > "$db/ca.cnf" <<EOF
[ca]
default_ca = here
[here]
database = $db/index.txt
new_certs_dir = $db
serial = $db/serial
default_md = sha256
policy = anything
unique_subject = no
email_in_dn = no
[anything]
commonName = supplied
[ext]
$9
EOF
    openssl req -new -key "$subjectKey" -subj "$subject" -out "$db/req.csr"
    if [ "$issuer" = self ]; then
        set -- -selfsign -keyfile "$subjectKey"
    else
        set -- -cert "$issuer" -keyfile "$issuerKey"
    fi
    attempts=0
    while :; do
        : > "$db/index.txt"
        echo "$serial" > "$db/serial"
        openssl ca -batch -notext -config "$db/ca.cnf" -extfile "$db/ca.cnf" -extensions ext \
            -startdate "$start" -enddate "$end" "$@" -in "$db/req.csr" -out "$name.crt" 2>/dev/null
        full_signature x509 "$name.crt" && break
        attempts=$((attempts + 1))
        [ "$attempts" -lt 64 ] || { echo "no full-length signature for $name" >&2; exit 1; }
    done
}

past=$(now '-1 hour')
later=$(now '+30 days')
ca='basicConstraints = critical,CA:TRUE
keyUsage = critical,keyCertSign,cRLSign
subjectKeyIdentifier = hash'
leaf='basicConstraints = critical,CA:FALSE
keyUsage = critical,digitalSignature
extendedKeyUsage = serverAuth
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid'
host='subjectAltName = DNS:localhost,IP:127.0.0.1'

key root.key
key intermediate.key
key forger.key
key leaf.key
issue root "/CN=Veltrin Test Root" root.key self "" 1001 "$past" "$later" "$ca"
cp root.crt root.pem
issue intermediate "/CN=Veltrin Test Intermediate" intermediate.key root.crt root.key 2002 \
    "$past" "$later" "$ca
authorityKeyIdentifier = keyid"
issue intermediate-not-ca "/CN=Veltrin Test Intermediate" intermediate.key root.crt root.key \
    2003 "$past" "$later" "basicConstraints = critical,CA:FALSE
keyUsage = critical,keyCertSign,cRLSign
authorityKeyIdentifier = keyid"

# case NAME ISSUER START END EXTENSIONS [SENT_INTERMEDIATE]
case_of() {
    name=$1 issuer=$2
    issue "$name" "/CN=Veltrin Test Server" leaf.key "$issuer.crt" "$issuer.key" 3000 "$3" "$4" "$5"
    cat "$name.crt" ${6:+"$6.crt"} > "$name.pem"
    cp leaf.key "$name.key"
}

case_of leaf-from-root root "$past" "$later" "$leaf
$host"
case_of leaf-through-intermediate intermediate "$past" "$later" "$leaf
$host" intermediate
case_of intermediate-not-sent intermediate "$past" "$later" "$leaf
$host"
case_of expired root "$(now '-30 days')" "$(now '-1 day')" "$leaf
$host"
case_of not-yet-valid root "$(now '+1 day')" "$(now '+30 days')" "$leaf
$host"
case_of no-server-auth root "$past" "$later" "basicConstraints = critical,CA:FALSE
keyUsage = critical,digitalSignature
extendedKeyUsage = clientAuth
$host"
# Signed by an intermediate that is no CA; the "intermediate" key is the one both share.
cp intermediate.key intermediate-not-ca.key
case_of intermediate-not-ca intermediate-not-ca "$past" "$later" "$leaf
$host" intermediate-not-ca
case_of wrong-host root "$past" "$later" "$leaf
subjectAltName = DNS:other.example"
# Names the host in its subject only.
issue cn-only "/CN=localhost" leaf.key root.crt root.key 3001 "$past" "$later" \
    "basicConstraints = critical,CA:FALSE
keyUsage = critical,digitalSignature
extendedKeyUsage = serverAuth"
cp cn-only.crt cn-only.pem
cp leaf.key cn-only.key
case_of wildcard-one-label root "$past" "$later" "$leaf
subjectAltName = DNS:*.localhost"
case_of wildcard-two-labels root "$past" "$later" "$leaf
subjectAltName = DNS:*.update.localhost"
case_of ip-address root "$past" "$later" "$leaf
subjectAltName = IP:127.0.0.1"
case_of ip-as-dns-name root "$past" "$later" "$leaf
subjectAltName = DNS:127.0.0.1"
# dNSName "localhost\0.evil.example": a verifier that stops at the NUL sees "localhost".
case_of embedded-nul root "$past" "$later" "$leaf
subjectAltName = DER:301982176c6f63616c686f7374002e6576696c2e6578616d706c65"

# Revocation: one certificate the root has revoked, one whose list cannot be had. Their serial
# numbers are new each run: Wine remembers a revocation answer by serial number alone.
issue revoked "/CN=Veltrin Test Server" leaf.key root.crt root.key "$(openssl rand -hex 8)" \
    "$past" "$later" "$leaf
$host
crlDistributionPoints = URI:file:///Z:$here/root.crl"
openssl ca -config "$work/revoked/ca.cnf" -cert root.crt -keyfile root.key \
    -revoke revoked.crt 2>/dev/null
attempts=0
until openssl ca -config "$work/revoked/ca.cnf" -cert root.crt -keyfile root.key -gencrl \
    -crldays 30 -out "$work/root.crl" 2>/dev/null && full_signature crl "$work/root.crl"; do
    attempts=$((attempts + 1))
    [ "$attempts" -lt 64 ] || { echo "no full-length signature for the revocation list" >&2; exit 1; }
done
openssl crl -in "$work/root.crl" -outform DER -out root.crl
cp revoked.crt revoked.pem
cp leaf.key revoked.key
issue revocation-unknown "/CN=Veltrin Test Server" leaf.key root.crt root.key \
    "$(openssl rand -hex 8)" "$past" "$later" "$leaf
$host
crlDistributionPoints = URI:file:///Z:$here/missing.crl"
cp revocation-unknown.crt revocation-unknown.pem
cp leaf.key revocation-unknown.key

# Forgeries by someone who knows the root's public data but not its key.
forged_ca="basicConstraints = critical,CA:TRUE
keyUsage = critical,keyCertSign,cRLSign,digitalSignature
extendedKeyUsage = serverAuth
$host"
issue forged-root "/CN=Veltrin Test Root" forger.key self "" 1001 "$past" "$later" "$forged_ca"
cp forged-root.crt forged-root.pem
cp forger.key forged-root.key
issue forged-leaf "/CN=Veltrin Test Server" leaf.key forged-root.crt forger.key 1001 \
    "$past" "$later" "basicConstraints = critical,CA:FALSE
keyUsage = critical,digitalSignature
extendedKeyUsage = serverAuth
$host"
cp forged-leaf.crt forged-leaf.pem
cp leaf.key forged-leaf.key

rm -rf "$work" ./*.crt
