# crclist on Linux: what `cmake --install` puts in place, and the Debian package made of it
# by the `package` target (CPack DEB), build/<preset>/crclist_<version>_<arch>.deb. The
# release preset is the build for both; tools/scripts/package-deb.sh runs it.
#
#   bin/crclist
#   share/man/man1/crclist.1.gz                  from crclist.1.scd, rendered by scdoc
#   share/bash-completion/completions/crclist    from crclist.bash
#   share/doc/crclist/README, copyright

include(GNUInstallDirs)
find_program(SUMWARDEN_SCDOC scdoc REQUIRED)
find_program(SUMWARDEN_GZIP gzip REQUIRED)

set(linux_packaging ${PROJECT_SOURCE_DIR}/packaging/linux)
set(crclist_manual ${PROJECT_BINARY_DIR}/packaging/crclist.1.gz)
set(version_header ${PROJECT_BINARY_DIR}/generated/sumwarden_version.h)
add_custom_command(OUTPUT ${crclist_manual}
  COMMAND ${CMAKE_COMMAND} -DSCDOC=${SUMWARDEN_SCDOC} -DGZIP=${SUMWARDEN_GZIP}
    -DINPUT=${linux_packaging}/crclist.1.scd -DVERSION_HEADER=${version_header}
    -DOUTPUT=${crclist_manual} -P ${linux_packaging}/manual-page.cmake
  DEPENDS ${linux_packaging}/crclist.1.scd ${linux_packaging}/manual-page.cmake
    ${version_header}
  COMMENT "Rendering the manual page crclist(1)"
  VERBATIM)
add_custom_target(crclist_manual ALL DEPENDS ${crclist_manual})

set(crclist_docs ${CMAKE_INSTALL_DATADIR}/doc/crclist)
install(TARGETS crclist RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${crclist_manual} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${linux_packaging}/crclist.bash
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME crclist)
install(FILES ${linux_packaging}/README ${linux_packaging}/copyright DESTINATION ${crclist_docs})

# The Debian package. Its name and file name are the tool's, not the project's: the program
# for Windows is not in it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME crclist)
# CPack's own default has three parts only: the fourth would be lost.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Sumwarden project")
# The machine's architecture, as dpkg names it (amd64): that of the program built here.
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE
  OUTPUT_STRIP_TRAILING_WHITESPACE)
set(CPACK_DEBIAN_FILE_NAME
  crclist_${PROJECT_VERSION}_${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}.deb)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "verify game discs and installations against CRC-32 check lists
crclist checks a game title's distribution discs, disc images and installed
files against the title's check list (crclist.INF) by size and CRC-32,
reading the list exactly as the title's own checker does. It reports every
damaged or missing file, as text or JSON, with exit codes for scripts and
pipelines.
.
It also writes check lists from the files of the discs (make), explains
what the checker will make of a list (lint), brings a list's sizes and CRCs
up to date (update) and shows a list's contents as JSON (dump). Discs are
folders, drives, or disc images of every common form (ISO, BIN/CUE, CCD, MDF),
read as Windows reads them.")
# The libraries that crclist links, with the versions they need, from dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)

# The checks. The manual page's options and the completion are checked in the developers'
# builds, with their crclist; the package in the build that makes it to be shipped (the
# release preset), once its package target has run.
set(package_tests ${PROJECT_SOURCE_DIR}/tests/package)
if(SUMWARDEN_TESTS)
  add_test(NAME crclist.manual COMMAND bash ${package_tests}/manual_options.sh
    $<TARGET_FILE:crclist> ${crclist_manual})
  add_test(NAME crclist.completion COMMAND bash ${package_tests}/completion.sh
    $<TARGET_FILE:crclist> ${linux_packaging}/crclist.bash)
else()
  add_test(NAME crclist.deb COMMAND bash ${package_tests}/check_deb.sh
    ${PROJECT_BINARY_DIR}/${CPACK_DEBIAN_FILE_NAME} ${PROJECT_VERSION})
  set_tests_properties(crclist.deb PROPERTIES LABELS package)
endif()
