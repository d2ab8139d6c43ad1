# crclist on Linux: what `cmake --install` puts in place. The release preset is the build
# for it.
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

# The checks of the manual page's options and of the completion, in the developers' builds.
set(package_tests ${PROJECT_SOURCE_DIR}/tests/package)
if(SUMWARDEN_TESTS)
  add_test(NAME crclist.manual COMMAND bash ${package_tests}/manual_options.sh
    $<TARGET_FILE:crclist> ${crclist_manual})
  add_test(NAME crclist.completion COMMAND bash ${package_tests}/completion.sh
    $<TARGET_FILE:crclist> ${linux_packaging}/crclist.bash)
endif()
