# Options shared by every target of the project.

option(SUMWARDEN_WERROR "Treat compiler warnings as errors" OFF)
option(SUMWARDEN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(SUMWARDEN_SANITIZE_THREAD "Build with ThreadSanitizer" OFF)
option(SUMWARDEN_HARDEN "Build with Debian's hardening flags, for a program to install" OFF)

set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

# Sources are UTF-8; every narrow literal becomes Shift-JIS bytes, which is what the
# program shows and what the information file holds.
add_compile_options(-finput-charset=UTF-8 -Wall -Wextra)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(-fexec-charset=CP932)
elseif(NOT SUMWARDEN_FUZZ)
  # clang keeps literals in UTF-8; only the fuzz build, which shows no text, may use it.
  message(FATAL_ERROR "Shift-JIS literals need g++ (-fexec-charset=CP932)")
endif()
if(SUMWARDEN_WERROR)
  add_compile_options(-Werror)
endif()

if(WIN32)
  # ANSI functions throughout: UNICODE must never be defined.
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX STRICT _WIN32_WINNT=0x0501 WINVER=0x0501)
endif()

# What a Debian package's build gives its programs (dpkg-buildflags, hardening=+all): checked
# buffer functions, stack guards, and relocations made read-only before main() runs.
if(SUMWARDEN_HARDEN)
  add_compile_definitions(_FORTIFY_SOURCE=2)
  add_compile_options(-fstack-protector-strong)
  add_link_options(-Wl,-z,relro,-z,now)
endif()

if(SUMWARDEN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
# The reading engine's threads: a race that no other test sees (one hid in the image runs).
if(SUMWARDEN_SANITIZE_THREAD)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
