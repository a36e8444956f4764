# zanbo_add_test(NAME <name> SOURCES <files...> LIBS <targets...>)
# One Qt Test executable per area. Every test runs offscreen; the GUI tests
# write their screenshots to <build>/screenshots.
function(zanbo_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE zanbo_common Qt6::Test ${T_LIBS})
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${T_NAME} PRIVATE
    ZANBO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    ZANBO_SCREENSHOT_DIR="${PROJECT_BINARY_DIR}/screenshots")
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()
