# Object information, sorted drawing, render settings and a plug-in:
# info_export.fe's output must equal info_export.expected, and the pixel it
# prints for the crossing of the three segments must be the colour of the
# layer drawn last by priority ("B", blue).
#   cmake -DFERUN=... -DPNGPROBE=... -DSRC=<tests/e2e> -DWORK=<dir> -P info_export_run.cmake
include(${CMAKE_CURRENT_LIST_DIR}/ferun_steps.cmake)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(png ${WORK}/layers.png)

ferun_step("run" out --png ${png}
           -e "/infoFile (${WORK}/info_export.qdw) def /dumpFile (${WORK}/info_export.dump) def"
           ${SRC}/info_export.fe)
expect_output("the run" "${out}" ${SRC}/info_export.expected)

string(REGEX MATCH "crossing: (-?[0-9]+) (-?[0-9]+)" crossing "${out}")
execute_process(COMMAND ${PNGPROBE} ${png} 0000FF ${CMAKE_MATCH_1} ${CMAKE_MATCH_2}
                RESULT_VARIABLE status OUTPUT_VARIABLE probe)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the crossing is not in the colour of layer B:\n${probe}")
endif()
