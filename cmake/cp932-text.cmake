# cmake -DICONV=iconv -DINPUT=in.txt -DOUTPUT=out.txt -P cp932-text.cmake
#
# Writes a text that the repository keeps as UTF-8 with LF line ends as Shift-JIS (code page
# 932) with CR LF, the form that Notepad and the program read on a Japanese Windows. iconv
# stops at a character that code page 932 lacks, so such a character fails the build rather
# than turning into a question mark in the package.
foreach(name ICONV INPUT OUTPUT)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "cp932-text.cmake: -D${name}=... is missing")
  endif()
endforeach()

file(READ "${INPUT}" text)
# A source that an editor saved with CR LF comes out the same: its CRs are taken off first.
string(REPLACE "\r\n" "\n" text "${text}")
# The program's lexer needs white space after the last token; a guide should end its last
# line too.
if(NOT text MATCHES "\n$")
  message(FATAL_ERROR "${INPUT}: the last line has no line end")
endif()
string(REPLACE "\n" "\r\n" text "${text}")

# Written next to the output and renamed at the end: a failed run leaves no half file that
# a later build would take as done.
file(WRITE "${OUTPUT}.crlf" "${text}")
execute_process(COMMAND "${ICONV}" -f UTF-8 -t CP932
  INPUT_FILE "${OUTPUT}.crlf" OUTPUT_FILE "${OUTPUT}.part" RESULT_VARIABLE status)
file(REMOVE "${OUTPUT}.crlf")
if(NOT status EQUAL 0)
  file(REMOVE "${OUTPUT}.part")
  message(FATAL_ERROR "${INPUT}: iconv could not write it in code page 932 (${status})")
endif()
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
