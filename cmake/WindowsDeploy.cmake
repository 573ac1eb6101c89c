# What Orvida.exe needs beside it on Windows, where there is no system Qt: the Qt DLLs, the
# two plugins it loads (the windows platform and the windowsvista style), the MinGW runtime
# DLLs, and the licences of all of them. Included by Packaging.cmake for Windows builds.

include(${CMAKE_CURRENT_LIST_DIR}/WindowsRuntime.cmake)

# Qt: the libraries and plugins, and its licences with where its source comes from, which
# scripts/windows-toolchain put into the Qt folder.
install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
  DESTINATION ${ORVIDA_BIN_DIR})
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>
  DESTINATION ${ORVIDA_BIN_DIR}/platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>
  DESTINATION ${ORVIDA_BIN_DIR}/styles)
install(DIRECTORY ${ORVIDA_QT_PREFIX}/licences/ DESTINATION ${ORVIDA_DOC_DIR}/qt)

# The compiler's runtime.
install(FILES ${ORVIDA_MINGW_RUNTIME_DLLS} DESTINATION ${ORVIDA_BIN_DIR})
# GCC's runtime library exception and the MinGW-w64 runtime's licences, as Debian ships them.
install(FILES /usr/share/doc/gcc-mingw-w64-base/copyright
  DESTINATION ${ORVIDA_DOC_DIR}/mingw-w64 RENAME gcc-runtime-copyright.txt)
install(FILES /usr/share/doc/mingw-w64-common/copyright
  DESTINATION ${ORVIDA_DOC_DIR}/mingw-w64 RENAME mingw-w64-runtime-copyright.txt)

# The DLLs above carry their debugging information and symbol tables (libstdc++ alone about
# 20 MB of them), which nothing needs at run time: the copies installed here, and Orvida.exe,
# are stripped of them. Their exports stay: they are a table of their own.
set(ORVIDA_STRIPPED Orvida.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll
  styles/qwindowsvistastyle.dll ${ORVIDA_MINGW_RUNTIME_DLL_NAMES})
install(CODE "
  foreach(binary ${ORVIDA_STRIPPED})
    execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${ORVIDA_BIN_DIR}/\${binary}\"
      COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
")
