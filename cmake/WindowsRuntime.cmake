# Where the Windows build finds what runs beside its executables: the Windows Qt's folder
# (ORVIDA_QT_PREFIX) and the MinGW runtime DLLs that the Qt DLLs and Orvida's executables link
# to (ORVIDA_MINGW_RUNTIME_DLLS, their names in ORVIDA_MINGW_RUNTIME_DLL_NAMES: the C++
# library, the GCC support library, the threads library). Included by WindowsDeploy.cmake and WindowsTests.cmake; the first include, from
# the top-level folder, sets them for every folder.
include_guard(GLOBAL)

get_filename_component(ORVIDA_QT_PREFIX "${Qt6_DIR}/../../.." ABSOLUTE)

set(ORVIDA_MINGW_RUNTIME_DLL_NAMES libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
set(ORVIDA_MINGW_RUNTIME_DLLS)
foreach(dll ${ORVIDA_MINGW_RUNTIME_DLL_NAMES})
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(path "${path}" ABSOLUTE)
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "The MinGW runtime ${dll} is missing")
  endif()
  list(APPEND ORVIDA_MINGW_RUNTIME_DLLS ${path})
endforeach()
