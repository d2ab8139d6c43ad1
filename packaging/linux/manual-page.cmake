# cmake -DSCDOC=... -DGZIP=... -DINPUT=crclist.1.scd -DVERSION_HEADER=sumwarden_version.h
#       -DOUTPUT=crclist.1.gz -P manual-page.cmake
# Renders the scdoc source INPUT as a manual page compressed as Debian wants it (gzip -9n: no
# name, no time stamp), with the version of the one version header in place of @VERSION@.
file(STRINGS ${VERSION_HEADER} version_line REGEX "^#define SUMWARDEN_VERSION_TEXT ")
if(NOT version_line MATCHES "\"([^\"]+)\"")
  message(FATAL_ERROR "${VERSION_HEADER} has no SUMWARDEN_VERSION_TEXT")
endif()
file(READ ${INPUT} source)
string(REPLACE "@VERSION@" "${CMAKE_MATCH_1}" source "${source}")
set(versioned ${OUTPUT}.scd)
file(WRITE ${versioned} "${source}")
execute_process(COMMAND ${SCDOC} INPUT_FILE ${versioned} OUTPUT_FILE ${OUTPUT}.roff
  RESULT_VARIABLE scdoc_status)
if(NOT scdoc_status EQUAL 0)
  message(FATAL_ERROR "scdoc failed on ${INPUT}")
endif()
execute_process(COMMAND ${GZIP} -9nc ${OUTPUT}.roff OUTPUT_FILE ${OUTPUT}
  RESULT_VARIABLE gzip_status)
if(NOT gzip_status EQUAL 0)
  message(FATAL_ERROR "gzip failed on ${OUTPUT}.roff")
endif()
