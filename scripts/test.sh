#!/usr/bin/env bash
# Sets up, builds both targets (and their optimised release builds, with
# the import and manifest check), and runs every test under Wine: the
# 64-bit build's, then the 32-bit build's, the one publishers ship. Extra
# arguments go to both ctest runs (-R <regex>, say). Both suites run even
# when the first fails; the exit status is non-zero when either did.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/jobs.sh

bash scripts/setup.sh
cmake --preset x86_64 >/dev/null
cmake --build --preset x86_64
cmake --preset i686 >/dev/null
cmake --build --preset i686
bash scripts/release.sh

# One build's suite at a time: each has its own rig, but the fault rows
# mount file systems and the machine has few cores to share.
status=0
for preset in x86_64 i686; do
    echo "== tests of the $preset build"
    ctest --preset "$preset" "$@" || status=1
done
exit $status
