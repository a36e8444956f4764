# cmake -DSOURCE_DIR=<tree> -P CheckLayers.cmake
# Fails when a file includes a header of a layer it may not use. The layers,
# lowest first: rules < storage < core < net < ui < app. A folder may include
# its own headers and those of the layers below it; tests/<layer> and bench
# may include anything up to the layer they test (tests/support and fuzz
# serve several layers, bench measures up to ui).
set(layers rules storage core net ui app)

# The highest layer each folder may include, and its own extra folders.
set(top_rules rules)
set(top_storage storage)
set(top_core core)
set(top_net net)
set(top_ui ui)
set(top_app app)
set(top_tests/rules rules)
set(top_tests/storage storage)
set(top_tests/core core)
set(top_tests/net net)
set(top_tests/ui ui)
set(top_tests/app app)
set(top_tests/support ui)
set(top_tests/fuzz ui)
set(top_bench ui)
# A file of its own: the history store's tests read their draws through
# core's import, as the program does.
set(top_tests/storage/tst_DrawHistory.cpp core)

set(folders rules storage core net ui app tests/rules tests/storage tests/core tests/net tests/ui
  tests/app tests/support tests/fuzz bench)

set(faults "")
foreach(folder IN LISTS folders)
  file(GLOB_RECURSE files "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  foreach(file IN LISTS files)
    file(RELATIVE_PATH shown "${SOURCE_DIR}" "${file}")
    set(allowed "${top_${folder}}")
    if(DEFINED top_${shown})
      set(allowed "${top_${shown}}")
    endif()
    list(FIND layers "${allowed}" top)
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[^\"]*\"([a-z]+)/.*$" "\\1" used "${line}")
      list(FIND layers "${used}" level)
      if(level GREATER top)
        string(STRIP "${line}" line)
        string(APPEND faults "  ${shown}: ${line} (may use up to ${allowed})\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "Includes across the layers:\n${faults}")
endif()
message(STATUS "Layers: every include goes downwards.")
