# Build helpers shared by the program, its tools and its tests.

# Every Windows program of the project carries its C and C++ runtimes, so it
# imports only system DLLs and runs from wherever it is copied.
function(instrrse_static_link target)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
endfunction()

# A tool the build runs on the build machine itself (the resource generator,
# the release check): built with the build machine's compiler, never with the
# cross compiler. OUTPUT is the program's path; the sources that follow
# (headers too, for the dependencies) make it.
find_program(INSTRRSE_HOST_CXX NAMES c++ g++ REQUIRED)
function(instrrse_host_tool target output)
    set(cpp ${ARGN})
    list(FILTER cpp INCLUDE REGEX "\\.cpp$")
    get_filename_component(dir ${output} DIRECTORY)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND ${INSTRRSE_HOST_CXX} -std=c++17 -O1 -Wall -Wextra -Werror -I${CMAKE_SOURCE_DIR} -o ${output} ${cpp}
        DEPENDS ${ARGN}
        COMMENT "Building ${target} for the build machine"
        VERBATIM)
    add_custom_target(${target} DEPENDS ${output})
endfunction()
