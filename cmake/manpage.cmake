# Writes a manual page from a program's --help text, so that the two cannot
# tell different stories. Run as a script:
#
#   cmake -DPROGRAM=path -DNAME=velko-menu -DSUMMARY="..." -DVERSION=1.0.0
#         -DDATE="December 2026" [-DEXTRA=file.man] -DOUTPUT=out.1 -P manpage.cmake
#
# The help text is read as the program prints it: "Usage:" lines and their
# continuations make the synopsis; a line at the left margin before an
# indented block is a subsection heading; a paragraph at the left margin is
# running text; indented blocks keep their layout. EXTRA (troff) follows,
# for what only a manual page says (files, see also).

cmake_policy(SET CMP0007 NEW) # keep empty list elements: the blank lines

execute_process(COMMAND ${PROGRAM} --help
    OUTPUT_VARIABLE help
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} --help failed: ${status}")
endif()

# Text into troff: backslashes, hyphens as minus signs (options are typed
# with them), and a line's leading dot or quote kept from being a request.
function(velko_troff_escape out text)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REPLACE "-" "\\-" text "${text}")
    # (REGEX REPLACE would apply a "^" pattern again after each match.)
    if(text MATCHES "^[.']")
        set(text "\\&${text}")
    endif()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

string(TOUPPER "${NAME}" title)
set(page ".\\\" Generated from `${NAME} --help` by cmake/manpage.cmake; do not edit.\n")
string(APPEND page ".TH ${title} 1 \"${DATE}\" \"velkomenuview ${VERSION}\" \"User Commands\"\n")
velko_troff_escape(summary "${SUMMARY}")
string(APPEND page ".SH NAME\n${NAME} \\- ${summary}\n")

# Lines, with empty ones kept. Brackets would group list elements: they
# travel as placeholders.
string(REPLACE "[" "<velko-open>" help "${help}")
string(REPLACE "]" "<velko-close>" help "${help}")
string(REPLACE ";" "\\;" help "${help}")
string(REGEX REPLACE "\n$" "" help "${help}")
string(REPLACE "\n" ";" lines "${help}")

set(mode synopsis) # synopsis, then text, preformatted or a blank gap
set(pending_heading "")
string(APPEND page ".SH SYNOPSIS\n.nf\n")
list(LENGTH lines count)
math(EXPR last "${count} - 1")
foreach(i RANGE 0 ${last})
    list(GET lines ${i} line)
    string(REPLACE "\\;" ";" line "${line}")
    string(REPLACE "<velko-open>" "[" line "${line}")
    string(REPLACE "<velko-close>" "]" line "${line}")
    # The synopsis is the "Usage:" line and the indented ones under it.
    if(mode STREQUAL "synopsis" AND NOT line MATCHES "^(Usage: | )" AND NOT line STREQUAL "")
        string(APPEND page ".fi\n.SH DESCRIPTION\n")
        set(mode gap)
    endif()
    if(line MATCHES "^[ ]*$")
        if(mode STREQUAL "synopsis")
            string(APPEND page ".fi\n.SH DESCRIPTION\n")
            set(mode gap)
        elseif(mode STREQUAL "preformatted")
            string(APPEND page ".fi\n.RE\n")
            set(mode gap)
        elseif(mode STREQUAL "text")
            set(mode gap)
        endif()
        continue()
    endif()
    if(mode STREQUAL "synopsis")
        string(REGEX REPLACE "^Usage: " "" line "${line}")
        # The program as it was run here: the page names it as installed.
        string(REPLACE "${PROGRAM}" "${NAME}" line "${line}")
        if(line MATCHES "^       ")
            string(SUBSTRING "${line}" 7 -1 line)
        endif()
        velko_troff_escape(line "${line}")
        string(APPEND page "${line}\n")
        continue()
    endif()
    velko_troff_escape(escaped "${line}")
    if(line MATCHES "^ ")
        if(NOT mode STREQUAL "preformatted")
            string(APPEND page ".RS 4\n.nf\n")
            set(mode preformatted)
        endif()
        if(escaped MATCHES "^  ")
            string(SUBSTRING "${escaped}" 2 -1 escaped)
        endif()
        string(APPEND page "${escaped}\n")
        continue()
    endif()
    if(mode STREQUAL "preformatted")
        string(APPEND page ".fi\n.RE\n")
    endif()
    # A left-margin line right before an indented one heads its block.
    set(next "")
    if(i LESS last)
        math(EXPR j "${i} + 1")
        list(GET lines ${j} next)
    endif()
    if(next MATCHES "^  " AND NOT mode STREQUAL "text")
        string(REGEX REPLACE ":$" "" escaped "${escaped}")
        string(APPEND page ".SS ${escaped}\n")
        set(mode heading)
    else()
        if(NOT mode STREQUAL "text")
            string(APPEND page ".PP\n")
        endif()
        string(APPEND page "${escaped}\n")
        set(mode text)
    endif()
endforeach()
if(mode STREQUAL "preformatted")
    string(APPEND page ".fi\n.RE\n")
elseif(mode STREQUAL "synopsis")
    string(APPEND page ".fi\n")
endif()

if(EXTRA)
    file(READ ${EXTRA} extra)
    string(APPEND page "${extra}")
endif()
file(WRITE ${OUTPUT} "${page}")
