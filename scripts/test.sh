#!/usr/bin/env bash
# Sets up, builds both targets (and their optimised release builds, with
# the import and manifest check), and runs every test under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset x86_64 >/dev/null
cmake --build --preset x86_64 -j"$(nproc)"
cmake --preset i686 >/dev/null
cmake --build --preset i686 -j"$(nproc)"
bash scripts/release.sh
ctest --preset x86_64 "$@"
