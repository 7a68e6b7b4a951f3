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

bash scripts/setup.sh
cmake --preset x86_64 >/dev/null
cmake --build --preset x86_64
cmake --preset i686 >/dev/null
cmake --build --preset i686
bash scripts/release.sh

# Whether Wine's 32-bit side starts on this machine: its loader is itself a
# 32-bit program, so starting it (it needs no prefix for --version) is the
# test. Prints why not, and fails, when it does not.
probe_32bit() {
    if [ -n "${INSTRRSE_NO_32BIT:-}" ]; then
        echo "INSTRRSE_NO_32BIT is set"
        return 1
    fi
    local loader=/usr/lib/wine/wine out
    if [ ! -e "$loader" ]; then
        echo "Wine's 32-bit side is not installed ($loader is missing)"
        return 1
    fi
    # Through bash's own exec: timeout's would hand a binary it cannot
    # execute to the shell as a script, and hide the kernel's answer.
    local rc=0
    out=$(timeout 10 bash -c 'exec "$0" --version' "$loader" 2>&1) || rc=$?
    case "$rc:$out" in
        0:*) return 0 ;;
        *"Exec format error"*) echo "this machine cannot execute 32-bit programs (Exec format error)" ;;
        124:*) echo "Wine's 32-bit loader did not answer within 10 s" ;;
        *) echo "Wine's 32-bit loader did not start (exit $rc: $(printf '%s' "$out" | head -n 1))" ;;
    esac
    return 1
}

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
