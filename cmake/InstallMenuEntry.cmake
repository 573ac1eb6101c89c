# Installs the menu entry with its Exec= line naming the installed program by its full path,
# so that the entry starts the program from any prefix, on PATH or not. An archive made by
# CPack runs from wherever it is unpacked, so the entry it carries names the program alone.
#
# Set by Packaging.cmake: ORVIDA_MENU_ENTRY (the entry to install), ORVIDA_MENU_PROGRAM and
# ORVIDA_MENU_FOLDER (relative to the prefix), ORVIDA_PACKAGING_STAGE (where CPack installs),
# ORVIDA_MENU_WORK (a file to write the entry to first).

file(READ "${ORVIDA_MENU_ENTRY}" entry)
string(FIND "${CMAKE_INSTALL_PREFIX}/" "${ORVIDA_PACKAGING_STAGE}" staged)
if(NOT staged EQUAL 0)
  # A menu entry's program is written in double quotes, with \ " ` $ escaped by a backslash
  # and % doubled; the entry's own string escapes then double each backslash.
  set(exec "${CMAKE_INSTALL_PREFIX}/${ORVIDA_MENU_PROGRAM}")
  string(REGEX REPLACE "([\\\"`$])" "\\\\\\1" exec "${exec}")
  string(REPLACE "\\" "\\\\" exec "${exec}")
  string(REPLACE "%" "%%" exec "${exec}")
  string(REGEX MATCH "\nExec=[^\n]*" line "${entry}")
  string(REPLACE "${line}" "\nExec=\"${exec}\"" entry "${entry}")
endif()
file(WRITE "${ORVIDA_MENU_WORK}" "${entry}")
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${ORVIDA_MENU_FOLDER}" TYPE FILE
     FILES "${ORVIDA_MENU_WORK}")
