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
