# zanbo_add_test(NAME <name> SOURCES <files...> LIBS <targets...> [GUI])
# One Qt Test executable per area. GUI tests run offscreen and write their
# screenshots to <build>/screenshots.
function(zanbo_add_test)
  cmake_parse_arguments(T "GUI" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE zanbo_common Qt6::Test ${T_LIBS})
  target_compile_definitions(${T_NAME} PRIVATE
    ZANBO_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    ZANBO_SCREENSHOT_DIR="${CMAKE_BINARY_DIR}/screenshots")
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set(env "QT_QPA_PLATFORM=offscreen")
  set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
endfunction()
