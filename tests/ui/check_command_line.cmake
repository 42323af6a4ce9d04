# Runs the built program as a user would from a terminal: --version and --help answer with
# no display at all, and an unknown option or argument ends with an error.
#   cmake -DPROGRAM=<parallel-ratio> -DVERSION=<project version> -P check_command_line.cmake

function(run expected_rc)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env ${env} ${PROGRAM} ${ARGN}
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 20)
    if(NOT rc STREQUAL "${expected_rc}")
        message(FATAL_ERROR "'${ARGN}' exited with ${rc}, expected ${expected_rc}\n${out}${err}")
    endif()
    set(out "${out}" PARENT_SCOPE)
    set(err "${err}" PARENT_SCOPE)
endfunction()

# No display of any kind.
set(env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM)
foreach(flag --version -v)
    run(0 ${flag})
    if(NOT out STREQUAL "parallel-ratio ${VERSION}\n")
        message(FATAL_ERROR "${flag} printed '${out}', expected 'parallel-ratio ${VERSION}'")
    endif()
endforeach()

run(0 --help)
foreach(option --fullscreen --large-pointer --version)
    string(FIND "${out}" "${option}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "--help does not list ${option}:\n${out}")
    endif()
endforeach()

# Errors are found once Qt has taken its own options, on a platform with no screen to open.
set(env QT_QPA_PLATFORM=offscreen)
run(1 --bogus)
string(FIND "${err}" "bogus" at)
if(at EQUAL -1)
    message(FATAL_ERROR "the error for --bogus does not name it:\n${err}")
endif()
# One board file opens; a second is one too many.
run(1 one.prboard two.prboard)
string(FIND "${err}" "two.prboard" at)
if(at EQUAL -1)
    message(FATAL_ERROR "the error for a second file does not name it:\n${err}")
endif()
# Qt's own options are still Qt's.
run(0 -platform offscreen --version)
