#!/usr/bin/env bash
# Signs copies of the programs with scripts/sign.sh, as a release does, by a
# code-signing certificate and a CA both made for this run, and checks each
# signed copy: osslsigncode verifies it against that CA and names the
# program and the address in it, a copy changed after signing no longer
# verifies, the release check still accepts it, and it still starts under
# Wine (the planted-DLL run of the installer, a sound pack through
# packcheck, from test programs copied beside them). A signer that fails
# (a wrong password, a CA that did not issue the certificate) leaves the
# program as it was, and the password is never printed.
#
# Where this machine cannot execute 32-bit programs, the 32-bit copies are
# signed and checked but not run, and one line says so.
#
#   signing_test.sh SOURCE-DIR BUILD-DIR I686-BUILD-DIR
set -euo pipefail
source=$1 build=$2 build32=$3
. "$source/scripts/probe32.sh"
# Only the signer made here: none from the environment the suite runs in.
unset "${!INSTRRSE_SIGN_@}"

work=$build/signing
rm -rf "$work"
mkdir -p "$work/keys"
# The keys last only as long as the run.
trap 'rm -rf "$work/keys"' EXIT
status=0
fail() {
    echo "FAIL: $*"
    status=1
}

# A CA, a code-signing certificate it issues, both in a PKCS#12 file; and a
# CA that issued nothing here.
keys=$work/keys
password=wegwerp-$RANDOM$RANDOM
make_ca() {
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=$2" \
        -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign \
        -keyout "$keys/$1.key" -out "$keys/$1.crt" 2>/dev/null
}
make_ca ca "Wegwerp-CA van de test"
make_ca other "Andere CA"
openssl req -newkey rsa:2048 -nodes -subj "/CN=Wegwerp-ondertekenaar" \
    -keyout "$keys/signer.key" -out "$keys/signer.csr" 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' \
    >"$keys/signer.ext"
openssl x509 -req -days 2 -in "$keys/signer.csr" -CA "$keys/ca.crt" -CAkey "$keys/ca.key" \
    -CAcreateserial -extfile "$keys/signer.ext" -out "$keys/signer.crt" 2>/dev/null
openssl pkcs12 -export -inkey "$keys/signer.key" -in "$keys/signer.crt" -certfile "$keys/ca.crt" \
    -passout "pass:$password" -out "$keys/signer.p12"

address=http://example.invalid/raadrups
check=$build/pecheck/release-check

# sign.sh with this signer; its output, which must never hold the password.
sign() {   # program password cafile
    local out rc=0
    out=$(INSTRRSE_SIGN_PKCS12=$keys/signer.p12 INSTRRSE_SIGN_PASSWORD=$2 INSTRRSE_SIGN_CAFILE=$3 \
          bash "$source/scripts/sign.sh" "$1" "Proef ${1##*/}" "$address" "$check" 2>&1) || rc=$?
    printf '%s\n' "$out"
    if grep -qF -- "$password" <<<"$out"; then
        fail "the password was printed"
    fi
    return $rc
}

# Signs and checks the two programs copied from one build's bin folder;
# runs them when the machine can.
sign_and_run() {   # arch bin can-run
    local arch=$1 bin=$2 dir=$work/$1
    mkdir -p "$dir/planted"
    cp "$bin"/{instrrse,packcheck,planted_tests,packcheck_tests}.exe "$dir/"
    cp "$bin/planted/uxtheme.dll" "$dir/planted/"
    for program in instrrse packcheck; do
        local exe=$dir/$program.exe
        cp "$exe" "$dir/$program.unsigned"
        # A signer that fails leaves the program as it was.
        sign "$exe" "fout-$password" "$keys/ca.crt" >/dev/null && fail "$arch $program: signed with a wrong password"
        sign "$exe" "$password" "$keys/other.crt" >/dev/null && fail "$arch $program: verified against a CA that did not issue it"
        cmp -s "$exe" "$dir/$program.unsigned" || fail "$arch $program: a failed signing changed it"

        sign "$exe" "$password" "$keys/ca.crt" || fail "$arch $program: not signed"
        local verified
        verified=$(osslsigncode verify -CAfile "$keys/ca.crt" -in "$exe" 2>&1) || fail "$arch $program: does not verify"
        echo "== osslsigncode verify of the signed $arch $program.exe"
        printf '%s\n' "$verified"
        for line in "Signature verification: ok" "Message digest algorithm  : SHA256" \
                    "Text description: Proef $program.exe" "URL description: $address"; do
            grep -qF -- "$line" <<<"$verified" || fail "$arch $program: verify does not say \"$line\""
        done
        sh "$check" "$exe" || fail "$arch $program: the release check refuses it signed"

        cp "$exe" "$dir/$program.changed"
        local byte
        byte=$(od -An -tu1 -j1200 -N1 "$exe")
        printf "\\$(printf %03o $((byte ^ 1)))" | dd of="$dir/$program.changed" bs=1 seek=1200 conv=notrunc 2>/dev/null
        cmp -s "$exe" "$dir/$program.changed" && fail "$arch $program: the changed copy is the same"
        osslsigncode verify -CAfile "$keys/ca.crt" -in "$dir/$program.changed" >/dev/null 2>&1 \
            && fail "$arch $program: a copy changed after signing still verifies"
    done
    if [ "$3" != yes ]; then
        echo "signing test: the $arch copies were signed and checked but not run: $3"
        return
    fi
    "$build/winerun" "$dir/planted_tests.exe" || fail "$arch: the signed installer's planted-DLL run failed"
    "$build/winerun" "$dir/packcheck_tests.exe" --gtest_filter=PackCheck.SoundPackInUtf8ExitsZero \
        || fail "$arch: the signed packcheck's run failed"
}

sign_and_run x86_64 "$build/bin" yes
if [ ! -f "$build32/bin/instrrse.exe" ]; then
    echo "signing test: no 32-bit build in $build32: only the x86_64 programs were signed"
elif why=$(probe_32bit); then
    sign_and_run i686 "$build32/bin" yes
else
    sign_and_run i686 "$build32/bin" "$why"
fi
exit $status
