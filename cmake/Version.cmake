# The one source of the program's version is project(Orvida VERSION major.minor.patch.build).
# From it come the version as the program shows it, major.minor(two digits).build(four
# digits), e.g. 1.00.0001, a header for the code and the Windows resource script.
function(orvida_zero_pad value width out)
  string(LENGTH "${value}" length)
  math(EXPR zeros "${width} - ${length}")
  string(REPEAT "0" ${zeros} padding)
  set(${out} "${padding}${value}" PARENT_SCOPE)
endfunction()

orvida_zero_pad(${PROJECT_VERSION_MINOR} 2 minor)
orvida_zero_pad(${PROJECT_VERSION_TWEAK} 4 build)
set(ORVIDA_VERSION_SHOWN "${PROJECT_VERSION_MAJOR}.${minor}.${build}")
set(ORVIDA_VERSION_COMMAS
    "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},${PROJECT_VERSION_TWEAK}")
set(ORVIDA_ICO_FILE ${PROJECT_SOURCE_DIR}/resources/images/orvida.ico)

set(ORVIDA_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/src/version.h.in ${ORVIDA_GENERATED_DIR}/version.h @ONLY)
set(ORVIDA_RC_FILE ${ORVIDA_GENERATED_DIR}/orvida.rc)
configure_file(${PROJECT_SOURCE_DIR}/resources/orvida.rc.in ${ORVIDA_RC_FILE} @ONLY)
