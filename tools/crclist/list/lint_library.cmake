# crclist_lint: how crclist reads a check list through the program's reader and explains it,
# with the Shift-JIS conversions and name rules that this needs. It has no command line and
# no non-ASCII literal, so that the fuzz build (clang, whose literals stay UTF-8) can build it
# too: included by tools/crclist and by tests/fuzz.
set(crclist_dir ${CMAKE_CURRENT_LIST_DIR}/..)
if(WIN32)
  set(crclist_encoding ${crclist_dir}/text/encoding_win.cpp)
else()
  set(crclist_encoding ${crclist_dir}/text/encoding_posix.cpp)
endif()
add_library(crclist_lint STATIC
  ${crclist_dir}/list/list_reading.cpp
  ${crclist_dir}/list/lint.cpp
  ${crclist_dir}/list/lint_entry_checks.cpp
  ${crclist_dir}/list/lint_fault_checks.cpp
  ${crclist_dir}/list/lint_file_checks.cpp
  ${crclist_dir}/list/lint_list_checks.cpp
  ${crclist_dir}/list/lint_text.cpp
  ${crclist_dir}/list/lint_value_checks.cpp
  ${crclist_dir}/text/windows_names.cpp
  ${crclist_dir}/list/name_form.cpp
  ${crclist_encoding}
)
target_include_directories(crclist_lint PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(crclist_lint PUBLIC sumwarden_core sumwarden_ui_recorded)
