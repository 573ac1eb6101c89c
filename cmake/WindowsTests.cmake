# Tests of the Windows build, cross-built from Linux and run under Wine.

# GoogleTest from Debian's source (libgtest-dev), built with the MinGW compiler.
set(ORVIDA_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's source")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${ORVIDA_GOOGLETEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(lib gtest gtest_main gmock gmock_main)
  target_compile_options(${lib} PRIVATE -Wno-error)
  if(NOT TARGET GTest::${lib})
    add_library(GTest::${lib} ALIAS ${lib})
  endif()
endforeach()

# The test executables go beside Orvida.exe, with the DLLs they all need: Wine, like
# Windows, looks for DLLs in the executable's folder first. Wine's own prefix lives in the
# build folder, so the tests never touch the user's ~/.wine.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
include(${PROJECT_SOURCE_DIR}/cmake/WindowsRuntime.cmake)
set(ORVIDA_TEST_DLLS ${ORVIDA_MINGW_RUNTIME_DLLS})
foreach(module Core Gui Widgets Test)
  list(APPEND ORVIDA_TEST_DLLS ${ORVIDA_QT_PREFIX}/bin/Qt6${module}.dll)
endforeach()
file(COPY ${ORVIDA_TEST_DLLS} DESTINATION ${PROJECT_BINARY_DIR}/bin)
# The plugins too, in the subfolders of the executables' folder where Qt looks for them:
# under Wine a QT_PLUGIN_PATH into the Linux file system leaves QApplication hanging.
file(COPY ${ORVIDA_QT_PREFIX}/plugins/platforms/qoffscreen.dll
          ${ORVIDA_QT_PREFIX}/plugins/platforms/qwindows.dll
  DESTINATION ${PROJECT_BINARY_DIR}/bin/platforms)
file(COPY ${ORVIDA_QT_PREFIX}/plugins/styles/qwindowsvistastyle.dll
  DESTINATION ${PROJECT_BINARY_DIR}/bin/styles)
# The environment of every test under Wine, here and in tests/e2e: the prefix, Wine's
# messages off, and no offer to install Mono or Gecko when the prefix is made.
set(ORVIDA_WINE_ENVIRONMENT
  "WINEPREFIX=${PROJECT_BINARY_DIR}/wine"
  "WINEDEBUG=-all"
  "WINEDLLOVERRIDES=mscoree,mshtml=")

# One ctest test per run of a test executable: each run under Wine starts a Windows process,
# too slow to do once per test case. `ctest -V` shows every case, skipped ones with their
# reason. Every run has a virtual X display: Wine creates no window without one, and Qt's
# event loop needs a (hidden) window even on the offscreen platform.
#   orvida_add_wine_test(<name> [TARGET <executable>] [FILTER <gtest filter>] [DISPLAY])
# DISPLAY runs it on the windows platform instead of offscreen.
if(NOT ORVIDA_XVFB)
  message(FATAL_ERROR "Xvfb not found: install xvfb")
endif()
# Put before a test's command: waits until the Wine of the test before has shut down (its
# wineserver lingers for a few seconds), since a Windows program started while it does may
# fail at once.
find_program(ORVIDA_WINESERVER wineserver REQUIRED)
set(ORVIDA_AFTER_WINE sh -c "\"$0\" -w && exec \"$@\"" ${ORVIDA_WINESERVER})
function(orvida_add_wine_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "DISPLAY" "TARGET;FILTER" "")
  if(NOT arg_TARGET)
    set(arg_TARGET ${name})
  endif()
  if(arg_FILTER)
    set(filter --gtest_filter=${arg_FILTER})
  endif()
  set(environment ${ORVIDA_WINE_ENVIRONMENT})
  if(arg_DISPLAY)
    list(APPEND environment ORVIDA_GUI_PLATFORM=windows)
  else()
    list(APPEND environment QT_QPA_PLATFORM=offscreen)
  endif()
  add_test(NAME windows.${name}
    COMMAND ${ORVIDA_AFTER_WINE} ${ORVIDA_WITH_XVFB} ${CMAKE_CROSSCOMPILING_EMULATOR}
            $<TARGET_FILE:${arg_TARGET}> ${filter})
  set_tests_properties(windows.${name} PROPERTIES
    ENVIRONMENT "${environment}" LABELS windows TIMEOUT 900)
endfunction()
