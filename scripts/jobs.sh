# Sourced by the scripts: one rule for how many jobs a build runs, one a
# core unless CMAKE_BUILD_PARALLEL_LEVEL says otherwise.
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
