# Writes a manual page from a program's --help text, so the page never
# disagrees with the program. Run with -P and:
#   PROGRAM  the program to ask      NAME  its name
#   SUMMARY  one line for NAME       VERSION  the project's version
#   OUTPUT   the page to write (section 1)
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen
            ${PROGRAM} --help
    OUTPUT_VARIABLE help
    RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR help STREQUAL "")
    message(FATAL_ERROR "${PROGRAM} --help gave no text (status ${status})")
endif()
# troff: a backslash is written twice; a line starting with a dot or an
# apostrophe would be taken for a request.
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
string(TOUPPER "${NAME}" title)
file(WRITE ${OUTPUT}
    ".TH ${title} 1 \"\" \"Ombrix ${VERSION}\" \"User Commands\"\n"
    ".SH NAME\n${NAME} \\- ${SUMMARY}\n"
    ".SH DESCRIPTION\n.nf\n${help}.fi\n"
    ".SH SEE ALSO\n"
    ".BR ombrix (1),\n.BR ombrix-cli (1),\n.BR ombrix-sim (1)\n")
