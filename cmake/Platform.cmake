# The system edges (files, the per-user store, the program's own folder,
# console signals, the code page converter, the serial port) are files of
# their own per system, named ...Posix.cpp and ...Win32.cpp, and the build
# takes those of the system it builds for: no function holds code for two
# systems.

# tess_platform_sources(VAR): drops from the list VAR the files that belong
# to the other system.
function(tess_platform_sources var)
  set(sources ${${var}})
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "Posix\\.cpp$")
  else()
    list(FILTER sources EXCLUDE REGEX "Win32\\.cpp$")
  endif()
  set(${var} ${sources} PARENT_SCOPE)
endfunction()
