# Installation and packages.
#
# The program folder is <prefix>/bin: the executable and conf.ini side by side, because the
# program reads and writes its presets in its own folder. The licences go to
# <prefix>/share/doc/orvida; on Linux a menu entry and the die icon go to the prefix's
# share/applications and share/icons/hicolor, where desktops look for them.

include(GNUInstallDirs)

# On Windows the program folder is the package's one folder: Orvida.exe, conf.ini and the
# DLLs at its top, the licences in a folder of their own.
if(WIN32)
  set(ORVIDA_BIN_DIR .)
  set(ORVIDA_DOC_DIR licences)
else()
  set(ORVIDA_BIN_DIR ${CMAKE_INSTALL_BINDIR})
  set(ORVIDA_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/orvida)
endif()

install(TARGETS Orvida
  RUNTIME DESTINATION ${ORVIDA_BIN_DIR}
  BUNDLE DESTINATION ${ORVIDA_BIN_DIR}
)

# The presets that come with the program, installed only where none are yet: installing
# again over an earlier installation keeps the presets its user saved.
install(CODE "
  set(orvida_conf \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${ORVIDA_BIN_DIR}/conf.ini\")
  if(EXISTS \"\${orvida_conf}\")
    message(STATUS \"Keeping the saved presets: \${orvida_conf}\")
  else()
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${ORVIDA_BIN_DIR}\" TYPE FILE
         FILES \"${PROJECT_SOURCE_DIR}/resources/conf.ini\")
  endif()
")

install(FILES
  ${PROJECT_SOURCE_DIR}/LICENSE
  ${PROJECT_SOURCE_DIR}/resources/fonts/OFL.txt
  ${PROJECT_SOURCE_DIR}/resources/art/CREDITS.md
  DESTINATION ${ORVIDA_DOC_DIR}
)

if(UNIX AND NOT APPLE)
  # The menu entry names the program by its full path (cmake/InstallMenuEntry.cmake).
  install(CODE "
    set(ORVIDA_MENU_ENTRY \"${PROJECT_SOURCE_DIR}/resources/orvida.desktop\")
    set(ORVIDA_MENU_PROGRAM \"${ORVIDA_BIN_DIR}/Orvida\")
    set(ORVIDA_MENU_FOLDER \"${CMAKE_INSTALL_DATAROOTDIR}/applications\")
    set(ORVIDA_PACKAGING_STAGE \"${PROJECT_BINARY_DIR}/_CPack_Packages/\")
    set(ORVIDA_MENU_WORK \"${PROJECT_BINARY_DIR}/orvida.desktop\")
  ")
  install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/InstallMenuEntry.cmake)
  foreach(size 16 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/images/die-${size}.png
      DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps
      RENAME orvida.png
    )
  endforeach()
endif()

# Windows has no system Qt: its libraries and plugins go beside the executable.
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/WindowsDeploy.cmake)
endif()

# Packages: an archive of the installed folder.
set(CPACK_PACKAGE_NAME Orvida)
set(CPACK_PACKAGE_VENDOR "The Orvida developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Un generatore di valori casuali per AD&D terza edizione: a dice roller")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
else()
  set(CPACK_GENERATOR TGZ ZIP)
endif()
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES
  "^${PROJECT_SOURCE_DIR}/\\\\.git/" "^${PROJECT_SOURCE_DIR}/build[^/]*/"
  "^${PROJECT_SOURCE_DIR}/\\\\.cache/")
set(CPACK_PACKAGE_CHECKSUM SHA256)
include(CPack)
