# Our own targets link qrv_warnings; third-party headers come in as system includes.
add_library(qrv_warnings INTERFACE)
target_compile_options(qrv_warnings INTERFACE
  -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wsuggest-override -Werror=switch -Werror)
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  # GoogleTest's macros trip this one under clang; the rest stay errors.
  target_compile_options(qrv_warnings INTERFACE -Wno-gnu-zero-variadic-macro-arguments)
endif()
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # GCC 12 reports impossible overlaps inside std::string's own copies when optimising
  # (GCC bug 105329); the warning says nothing about our code.
  target_compile_options(qrv_warnings INTERFACE -Wno-restrict)
endif()
