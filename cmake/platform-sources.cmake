# Windows/POSIX pairs: a file NAME_win.cpp holds what Win32 does, NAME_posix.cpp what POSIX
# does, with one header between them. The target takes the half of its platform.
if(WIN32)
  set(SUMWARDEN_PLATFORM_SUFFIX _win)
else()
  set(SUMWARDEN_PLATFORM_SUFFIX _posix)
endif()

# Adds the platform's half of each pair NAME to TARGET.
function(sumwarden_platform_sources target)
  foreach(name IN LISTS ARGN)
    target_sources(${target} PRIVATE ${name}${SUMWARDEN_PLATFORM_SUFFIX}.cpp)
  endforeach()
endfunction()
