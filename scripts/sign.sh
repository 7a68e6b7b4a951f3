#!/usr/bin/env bash
# Signs one Windows program in place with Authenticode (SHA-256), then
# checks the signed file before it replaces the unsigned one: the signature
# verifies, and the release check passes again with the same imports (and
# the manifest byte for byte, which the check compares).
#
#   bash scripts/sign.sh PROGRAM.exe NAME ADDRESS RELEASE-CHECK
#
# NAME and ADDRESS go into the signature (what Windows shows as the
# program's name and its link); RELEASE-CHECK is a build's
# pecheck/release-check. The signer comes from the environment:
#
#   INSTRRSE_SIGN_PKCS12          a PKCS#12 file (.p12, .pfx) with the key and its certificates
#   INSTRRSE_SIGN_PKCS11_MODULE   or a PKCS#11 module (a hardware token's, a cloud HSM's) with
#   INSTRRSE_SIGN_KEY               the key's id on it (a PKCS#11 URI: pkcs11:object=...;type=private)
#   INSTRRSE_SIGN_CERT              its certificate: a file (PEM or DER, the chain may follow),
#                                   or the certificate's id on the token
#   INSTRRSE_SIGN_PASSWORD        the PKCS#12 file's password, or the token's PIN
#   INSTRRSE_SIGN_TIMESTAMP       an RFC 3161 timestamp server's address (optional)
#   INSTRRSE_SIGN_CAFILE          the CA certificates to verify against (default: the system's)
#
# The password goes to osslsigncode on its standard input, never on a
# command line or into a file.
set -euo pipefail

if [ $# -ne 4 ]; then
    echo "usage: sign.sh PROGRAM.exe NAME ADDRESS RELEASE-CHECK" >&2
    exit 2
fi
program=$1 name=$2 address=$3 check=$4

fail() {
    echo "sign: $program: $*" >&2
    exit 1
}

signer=()
if [ -n "${INSTRRSE_SIGN_PKCS12:-}" ] && [ -n "${INSTRRSE_SIGN_PKCS11_MODULE:-}" ]; then
    fail "give INSTRRSE_SIGN_PKCS12 or INSTRRSE_SIGN_PKCS11_MODULE, not both"
elif [ -n "${INSTRRSE_SIGN_PKCS12:-}" ]; then
    signer=(-pkcs12 "$INSTRRSE_SIGN_PKCS12")
elif [ -n "${INSTRRSE_SIGN_PKCS11_MODULE:-}" ]; then
    [ -n "${INSTRRSE_SIGN_KEY:-}" ] || fail "INSTRRSE_SIGN_PKCS11_MODULE needs INSTRRSE_SIGN_KEY"
    [ -n "${INSTRRSE_SIGN_CERT:-}" ] || fail "INSTRRSE_SIGN_PKCS11_MODULE needs INSTRRSE_SIGN_CERT"
    signer=(-pkcs11module "$INSTRRSE_SIGN_PKCS11_MODULE" -key "$INSTRRSE_SIGN_KEY")
    if [ -f "$INSTRRSE_SIGN_CERT" ]; then
        signer+=(-certs "$INSTRRSE_SIGN_CERT")
    else
        signer+=(-pkcs11cert "$INSTRRSE_SIGN_CERT")
    fi
else
    fail "no signer given (INSTRRSE_SIGN_PKCS12 or INSTRRSE_SIGN_PKCS11_MODULE)"
fi
timestamp=()
[ -z "${INSTRRSE_SIGN_TIMESTAMP:-}" ] || timestamp=(-ts "$INSTRRSE_SIGN_TIMESTAMP")
cafile=()
[ -z "${INSTRRSE_SIGN_CAFILE:-}" ] || cafile=(-CAfile "$INSTRRSE_SIGN_CAFILE")

# The imports as the release check lists them.
imports_of() {
    local line
    line=$(sh "$check" "$1") || { printf '%s\n' "$line"; return 1; }
    printf '%s\n' "$line" | sed -n 's/.*; imports \(.*\); manifest embedded: yes$/\1/p'
}

before=$(imports_of "$program") || fail "the release check refuses the unsigned program: $before"
[ -n "$before" ] || fail "the release check named no imports"

signed="$program.signed"
rm -f "$signed"
trap 'rm -f "$signed"' EXIT
if ! out=$(printf '%s' "${INSTRRSE_SIGN_PASSWORD:-}" \
           | osslsigncode sign "${signer[@]}" -readpass /dev/stdin -h sha256 -n "$name" -i "$address" \
                 "${timestamp[@]}" -in "$program" -out "$signed" 2>&1); then
    printf '%s\n' "$out" >&2
    fail "osslsigncode could not sign it"
fi
if ! verified=$(osslsigncode verify "${cafile[@]}" -in "$signed" 2>&1) \
   || ! grep -q '^Signature verification: ok$' <<<"$verified"; then
    printf '%s\n' "$verified" >&2
    fail "the signature does not verify"
fi
after=$(imports_of "$signed") || fail "the release check refuses the signed program: $after"
[ "$after" = "$before" ] || fail "signing changed the imports: $before became $after"

chmod --reference="$program" "$signed"
mv -f "$signed" "$program"
trap - EXIT
subject=$(sed -n '/^Signer.s certificate:/,/Subject:/s/^[[:space:]]*Subject: //p' <<<"$verified" | head -n 1)
size=$(stat -c %s "$program")
echo "sign: $program: signed (SHA-256${timestamp:+, timestamped}) by $subject, now $size bytes;" \
     "signature verified; imports and manifest unchanged"
