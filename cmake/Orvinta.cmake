# orvinta_add_test(<name> SOURCES <files...> LIBS <targets...> [GUI])
# One Qt Test executable per tested class; it links the library it tests.
# Tests run with the offscreen platform so that no display is needed.
function(orvinta_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ORVINTA_PROGRAM_DIR=${ORVINTA_PROGRAM_DIR};${T_ENV}"
    TIMEOUT 300)
endfunction()
