# Runs `crclist dump INPUT` and compares its output with EXPECTED byte for byte; also
# checks that a missing FILE gives exit code 2, nothing on stdout and the reason on stderr.
# cmake -DCRCLIST=... -DINPUT=... -DEXPECTED=... -P check_dump.cmake
execute_process(COMMAND ${CRCLIST} dump ${INPUT}
  OUTPUT_VARIABLE actual RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "crclist dump exited with ${result}")
endif()
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "crclist dump output differs from ${EXPECTED}:\n${actual}")
endif()

execute_process(COMMAND ${CRCLIST} dump
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE result)
if(NOT result EQUAL 2 OR NOT err MATCHES "FILE is required" OR NOT out STREQUAL "")
  message(FATAL_ERROR "crclist without a file: exit ${result}, stderr '${err}'")
endif()
