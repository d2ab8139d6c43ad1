# The release package, made by the `package` target (CPack, ZIP): the program, the crclist
# tool with the UDF reader that it loads (libudfread.dll, with its licence in libudfread/),
# the user's guide and a sample check list, in Sumwarden-<version>-win32.zip (win64 for
# the x86_64 build) in the build folder. The version is project()'s, as everywhere else.
#
# The guide and the sample are kept in packaging/ as UTF-8 with LF line ends and written at
# build time as Shift-JIS with CR LF, for the Japanese Windows the program is made for.

find_program(SUMWARDEN_ICONV iconv REQUIRED)

set(package_texts ${PROJECT_BINARY_DIR}/package)
# The guide names the version: filled in here, still UTF-8.
configure_file(${PROJECT_SOURCE_DIR}/packaging/README.txt.in ${package_texts}/README.utf8.txt
  @ONLY)

# Writes SOURCE (UTF-8, LF) as NAME under the package's folder in Shift-JIS with CR LF.
function(sumwarden_package_text source name)
  set(output ${package_texts}/${name})
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DICONV=${SUMWARDEN_ICONV} -DINPUT=${source} -DOUTPUT=${output}
      -P ${PROJECT_SOURCE_DIR}/cmake/cp932-text.cmake
    DEPENDS ${source} ${PROJECT_SOURCE_DIR}/cmake/cp932-text.cmake
    COMMENT "Writing ${name} in Shift-JIS with CR LF"
    VERBATIM)
endfunction()

sumwarden_package_text(${package_texts}/README.utf8.txt README.txt)
sumwarden_package_text(${PROJECT_SOURCE_DIR}/packaging/sample/crclist.INF sample/crclist.INF)
# In ALL: the package target installs what the default build made.
add_custom_target(sumwarden_package_texts ALL
  DEPENDS ${package_texts}/README.txt ${package_texts}/sample/crclist.INF)

install(TARGETS sumwarden crclist crclist_udfread RUNTIME DESTINATION .)
install(FILES ${CRCLIST_UDFREAD_COPYING} DESTINATION libudfread)
install(FILES ${package_texts}/README.txt DESTINATION .)
install(FILES ${package_texts}/sample/crclist.INF DESTINATION sample)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(package_platform win32)
else()
  set(package_platform win64)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
# CPack's own default has three parts only: the fourth would be lost.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(package_file_name ${PROJECT_NAME}-${PROJECT_VERSION}-${package_platform})
set(CPACK_PACKAGE_FILE_NAME ${package_file_name})
# The files at the top of the zip: Windows' "Extract all" makes the folder.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)

# The package's check. The release stage (tools/scripts/test.sh, release_program) builds the
# package target first; the test reads that zip and fails when there is none. Only the
# 32-bit package is the release one.
if(package_platform STREQUAL "win32")
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  # Not CPACK_PACKAGE_FILE_NAME: include(CPack) leaves the source package's name in it.
  set(package_zip ${PROJECT_BINARY_DIR}/${package_file_name}.zip)
  add_test(NAME release_package COMMAND ${Python3_EXECUTABLE}
    ${PROJECT_SOURCE_DIR}/tests/build/check_package.py ${package_zip})
  add_test(NAME release_package_damage COMMAND ${Python3_EXECUTABLE}
    ${PROJECT_SOURCE_DIR}/tests/build/test_check_package.py ${package_zip})
  set_tests_properties(release_package release_package_damage PROPERTIES LABELS release)
endif()
