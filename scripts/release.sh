#!/usr/bin/env bash
# Builds the optimised, stripped instrrse.exe and packcheck.exe for 64-bit
# and 32-bit Windows (building the installer builds packcheck too).
# Each link is followed by a check that the program imports only system DLLs
# and carries its manifest; the check prints the file's size.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/jobs.sh

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
done
