# PCG, the random generator, is header-only (Debian: libpcg-cpp-dev). Its three headers are
# copied into the build tree and included from there, so that a cross build (whose searches
# stay inside its own sysroot) finds them without putting the host's /usr/include on its
# include path. The copies include <istream> and <ostream>, all that PCG's stream operators
# need, instead of <iostream>: a program that includes <iostream> sets up the standard
# streams at start-up (0.3 MiB more resident), and Orvida never uses them. Sets
# ORVIDA_PCG_INCLUDE_DIR, the folder of the copies.
find_path(PCG_INCLUDE_DIR pcg_random.hpp NO_CMAKE_FIND_ROOT_PATH)
if(NOT PCG_INCLUDE_DIR)
  message(FATAL_ERROR "pcg_random.hpp not found: install libpcg-cpp-dev")
endif()
set(ORVIDA_PCG_INCLUDE_DIR ${PROJECT_BINARY_DIR}/pcg/include)
foreach(header pcg_random.hpp pcg_extras.hpp pcg_uint128.hpp)
  set(pcg_header ${PCG_INCLUDE_DIR}/${header})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${pcg_header})
  file(READ ${pcg_header} pcg_text)
  string(REPLACE "#include <iostream>" "#include <istream>\n#include <ostream>" pcg_text
         "${pcg_text}")
  # An unchanged copy is left untouched, so that configuring again rebuilds nothing.
  set(pcg_copy ${ORVIDA_PCG_INCLUDE_DIR}/${header})
  set(pcg_old "")
  if(EXISTS ${pcg_copy})
    file(READ ${pcg_copy} pcg_old)
  endif()
  if(NOT "${pcg_old}" STREQUAL "${pcg_text}")
    file(WRITE ${pcg_copy} "${pcg_text}")
  endif()
endforeach()
