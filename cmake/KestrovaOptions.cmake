# One interface target carries the project's compile rules; every target links it PRIVATE.
add_library(kestrova_options INTERFACE)
target_compile_options(kestrova_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
  # Results must not depend on the machine or on contraction into fused multiply-adds, which
  # aarch64 compilers do by default.
  -ffp-contract=off)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  # GCC 12 reports std::string concatenation at -O3 as an overlapping memcpy (GCC bug 105329).
  target_compile_options(kestrova_options INTERFACE -Wno-restrict)
endif()
if(KESTROVA_WERROR)
  target_compile_options(kestrova_options INTERFACE -Werror)
endif()
# The hardening Debian's own packages get: checked buffer functions in optimised builds (the sanitizer
# build checks more than they do), and relocations made read-only at start-up. Both are glibc and ELF
# features: MinGW's C library has no checked functions and its linker no -z options.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  target_compile_definitions(kestrova_options INTERFACE $<$<CONFIG:Release>:_FORTIFY_SOURCE=2>)
  target_link_options(kestrova_options INTERFACE -Wl,-z,relro,-z,now)
endif()
