# A bounded fuzzing run for ctest: copies the corpus from the repository
# into the build folder (the fuzzer adds what it finds to its first corpus
# folder, which must never be the repository's) and fails on any crash,
# sanitizer report or mismatch.
#   cmake -DFUZZER=<exe> -DCORPUS=<repo corpus> -DWORK=<scratch folder>
#         -DSECONDS=<n> -DMAX_LEN=<bytes> -P run_fuzzer.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus)
file(GLOB seeds ${CORPUS}/*)
file(COPY ${seeds} DESTINATION ${WORK}/corpus)

set(ENV{UBSAN_OPTIONS} "print_stacktrace=1")
execute_process(
    COMMAND ${FUZZER} -max_total_time=${SECONDS} -max_len=${MAX_LEN} -timeout=10
            -print_final_stats=1 -artifact_prefix=${WORK}/ ${WORK}/corpus
    RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${FUZZER} failed (${rc}); the input that did it is in ${WORK}/")
endif()
