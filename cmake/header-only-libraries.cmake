# CLI11 (command lines) and nlohmann-json (JSON), the header-only libraries of the crclist
# tool, from their Debian packages. The host build finds them through their CMake packages.
# A cross build must not search /usr/include, whose C library headers would shadow mingw's:
# it gets a folder of its own that holds links to these two libraries and nothing else.
if(CMAKE_CROSSCOMPILING)
  foreach(library CLI nlohmann)
    find_path(SUMWARDEN_${library}_PARENT ${library} PATHS /usr/include
      NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  endforeach()
  set(header_only ${PROJECT_BINARY_DIR}/header-only)
  file(MAKE_DIRECTORY ${header_only})
  file(CREATE_LINK ${SUMWARDEN_CLI_PARENT}/CLI ${header_only}/CLI SYMBOLIC)
  file(CREATE_LINK ${SUMWARDEN_nlohmann_PARENT}/nlohmann ${header_only}/nlohmann SYMBOLIC)
  add_library(sumwarden_cli11 INTERFACE)
  target_include_directories(sumwarden_cli11 SYSTEM INTERFACE ${header_only})
  add_library(sumwarden_json INTERFACE)
  target_include_directories(sumwarden_json SYSTEM INTERFACE ${header_only})
else()
  find_package(CLI11 2 REQUIRED CONFIG)
  find_package(nlohmann_json 3 REQUIRED CONFIG)
  add_library(sumwarden_cli11 INTERFACE)
  target_link_libraries(sumwarden_cli11 INTERFACE CLI11::CLI11)
  add_library(sumwarden_json INTERFACE)
  target_link_libraries(sumwarden_json INTERFACE nlohmann_json::nlohmann_json)
endif()
