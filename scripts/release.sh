#!/usr/bin/env bash
# Builds the optimised, stripped instrrse.exe and packcheck.exe for 64-bit
# and 32-bit Windows (building the installer builds packcheck too).
# Each link is followed by a check that the program imports only system DLLs
# and carries its manifest; the check prints the file's size.
#
# Given a signer (INSTRRSE_SIGN_PKCS12 or INSTRRSE_SIGN_PKCS11_MODULE and
# the rest that scripts/sign.sh describes), each of the four programs is
# then signed with Authenticode and checked again; without one they stay
# unsigned, and one line says so.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/jobs.sh

# What the signature names: each program, and the page the dialog's link opens.
address=$(sed -n 's/^const char c_szDownloadUrl\[\] = "\(.*\)";$/\1/p' ui/link.cpp)
declare -A names=(
    [instrrse]="Raadrups-series installeren (instrrse)"
    [packcheck]="Raadrups-seriepakket controleren (packcheck)"
)
fSign=false
if [ -n "${INSTRRSE_SIGN_PKCS12:-}${INSTRRSE_SIGN_PKCS11_MODULE:-}" ]; then
    fSign=true
    [ -n "$address" ] || { echo "release: no download address in ui/link.cpp" >&2; exit 1; }
fi

bash scripts/setup.sh
for preset in release-x86_64 release-i686; do
    cmake --preset "$preset" >/dev/null
    # A fresh link each time, so the check and its figures always show.
    rm -f "build/$preset/bin/instrrse.exe" "build/$preset/bin/packcheck.exe"
    log="build/$preset/release-build.log"
    if ! cmake --build --preset "$preset" --target instrrse >"$log" 2>&1; then
        cat "$log"
        echo "release: the $preset build or its check failed" >&2
        exit 1
    fi
    grep -E '^pecheck|bytes \(' "$log"
    if $fSign; then
        for program in instrrse packcheck; do
            bash scripts/sign.sh "build/$preset/bin/$program.exe" "${names[$program]}" "$address" \
                "build/$preset/pecheck/release-check"
        done
    fi
done
$fSign || echo "release: not signed (no INSTRRSE_SIGN_PKCS12 or INSTRRSE_SIGN_PKCS11_MODULE given)"
