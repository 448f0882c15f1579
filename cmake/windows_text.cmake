# Turns a UTF-8 text into the form Windows users open in Notepad: Shift-JIS (code page 932), CR LF.
#   cmake -DICONV=<iconv> -DINPUT=<utf-8 file> -DOUTPUT=<file> [-DMARKDOWN=ON -DVERSION=<x.y.z>]
#         -P windows_text.cmake
# With MARKDOWN, the guide's Markdown marks become plain-text ones: headings get 【】 or ■, code fences
# and the backquotes of inline code go, and @VERSION@ becomes the project's version.
cmake_minimum_required(VERSION 3.25)

file(READ "${INPUT}" text)
string(REPLACE "\r\n" "\n" text "${text}")
if(MARKDOWN)
  string(REPLACE "@VERSION@" "${VERSION}" text "${text}")
  string(REGEX REPLACE "(^|\n)# ([^\n]*)" "\\1【\\2】" text "${text}")
  string(REGEX REPLACE "(^|\n)## ([^\n]*)" "\\1■\\2" text "${text}")
  string(REGEX REPLACE "(^|\n)### ([^\n]*)" "\\1◆\\2" text "${text}")
  string(REGEX REPLACE "(^|\n)```[^\n]*" "\\1" text "${text}")
  string(REPLACE "`" "" text "${text}")
  string(REPLACE "**" "" text "${text}")
endif()
string(REPLACE "\n" "\r\n" text "${text}")

get_filename_component(folder "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${folder}")
file(WRITE "${OUTPUT}.utf8" "${text}")
# A character that code page 932 lacks makes iconv fail: the build stops rather than ship a '?'.
execute_process(COMMAND "${ICONV}" -f UTF-8 -t CP932 INPUT_FILE "${OUTPUT}.utf8" OUTPUT_FILE "${OUTPUT}.tmp"
                RESULT_VARIABLE result ERROR_VARIABLE error)
file(REMOVE "${OUTPUT}.utf8")
if(NOT result EQUAL 0)
  file(REMOVE "${OUTPUT}.tmp")
  message(FATAL_ERROR "${INPUT} cannot be written in code page 932: ${error}")
endif()
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
