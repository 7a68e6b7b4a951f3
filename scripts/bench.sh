#!/usr/bin/env bash
# Sets up, builds, and runs the benchmarks in a Wine rig of their own
# (build/bench-rig): the installer's moves against a plain copy-and-delete
# loop, and the list reader against fgetc. Measures the optimised program.
#
# BENCH_BUILD=<folder> puts every build and the rig under that folder
# instead of build/, for a developer's own checkout of the rig.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/jobs.sh
src="$PWD"
t_start=$(date +%s)

bash scripts/setup.sh

base="${BENCH_BUILD:-$src/build}"
tools="$base/bench"              # the benchmarks, optimised like the program
release="$base/release-x86_64"
RIG="$base/bench-rig"

# The benchmarks themselves are built optimised, so the list reader is
# timed as it ships; they need none of the tests.
cmake -S "$src" -B "$tools" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DINSTRRSE_TESTS=OFF >/dev/null
cmake --build "$tools" --target install_bench list_bench

# The program is measured as it ships: the optimised release build.
if [ -z "${BENCH_BUILD:-}" ]; then
    cmake --preset release-x86_64 >/dev/null
    cmake --build --preset release-x86_64
else
    cmake --preset release-x86_64 -B "$release" >/dev/null
    cmake --build "$release"
fi
exe="$release/bin/instrrse.exe"
which="the optimised program (preset release-x86_64)"

# A pack and its copy in the data folder live side by side: 1 GiB at most.
avail_mib=$(df -Pm "$base" | awk 'NR == 2 { print $4 }')
if [ "$avail_mib" -lt 2048 ]; then
    echo "bench: only $avail_mib MiB free under $base; 2048 MiB needed" >&2
    exit 1
fi

. tests/rig/rig.sh
rig_up
trap rig_down EXIT
winpath() { local p; p=$(readlink -f "$1"); echo "Z:${p//\//\\}"; }

echo "== moves: $which"
echo "   $exe"
"$WINE" "$tools/bin/install_bench.exe" "$(winpath "$exe")" "${BENCH_REPS:-5}"
echo "== list reader (instrrse_core, MinSizeRel)"
"$WINE" "$tools/bin/list_bench.exe"
rig_down
trap - EXIT
# The packs are gone with the prefix's files; the prefix itself is renewed
# by the next run.
rm -rf "$RIG/prefix/drive_c/bench" "$RIG/prefix/drive_c/bench-lijst"
echo "== the whole command took $(( $(date +%s) - t_start )) s"
