# Runs a program and writes what it prints to a file; fails when it fails.
# Run with -P and: PROGRAM, ARGUMENTS (separated by spaces), OUTPUT.
separate_arguments(arguments UNIX_COMMAND "${ARGUMENTS}")
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 ${PROGRAM} ${arguments}
    OUTPUT_FILE ${OUTPUT}
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    file(REMOVE ${OUTPUT})
    message(FATAL_ERROR "${PROGRAM} ${ARGUMENTS} failed with status ${status}")
endif()
