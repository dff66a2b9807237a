# Warnings and sanitizers for the project's own targets only: third-party
# headers come in as system includes and are not held to them.
add_library(tess_options INTERFACE)
target_compile_options(tess_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
  $<$<BOOL:${TESS_WERROR}>:-Werror>
  # GCC 12 reports false -Wrestrict positives in std::string::replace at -O3.
  $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)

if(TESS_SANITIZE)
  target_compile_options(tess_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(tess_options INTERFACE -fsanitize=address,undefined)
endif()

if(TESS_FUZZ)
  target_compile_options(tess_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined)
  target_link_options(tess_options INTERFACE -fsanitize=address,undefined)
endif()

if(WIN32)
  # The Windows headers without their rarely used parts and without the
  # min and max macros that clash with the standard library's; mingw's
  # time.h with the thread-safe gmtime_r and localtime_r.
  target_compile_definitions(tess_options INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX _POSIX_THREAD_SAFE_FUNCTIONS)
endif()
