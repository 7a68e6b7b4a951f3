#!/usr/bin/env bash
# Sets up, builds both targets (and their optimised release builds, with
# the import and manifest check), and runs every test under Wine: the
# 64-bit build's, then the 32-bit build's, the one publishers ship. Extra
# arguments go to both ctest runs (-R <regex>, say). Both suites run even
# when the first fails; the exit status is non-zero when either did.
#
# The 32-bit suite needs a machine that can execute 32-bit programs, which
# not every x86_64 machine can. Where it cannot, the suite (and its test
# discovery, which runs the test programs) is left out and one line says
# why; the 32-bit builds are still made and checked.
# INSTRRSE_NO_32BIT=1 makes the probe answer "cannot" on any machine.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/jobs.sh
. scripts/probe32.sh

bash scripts/setup.sh
cmake --preset x86_64 >/dev/null
cmake --build --preset x86_64
cmake --preset i686 >/dev/null
cmake --build --preset i686
bash scripts/release.sh

# One build's suite at a time: each has its own rig, but the fault rows
# mount file systems and the machine has few cores to share.
status=0
echo "== tests of the x86_64 build"
ctest --preset x86_64 "$@" || status=1
if why=$(probe_32bit); then
    echo "== tests of the i686 build"
    ctest --preset i686 "$@" || status=1
else
    echo "test: the i686 suite was not run: $why; the i686 builds were made and checked"
fi
exit $status
