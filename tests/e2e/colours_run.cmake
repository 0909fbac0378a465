# Colours, pen widths and line fonts drawn: colours_demo.fe saves a drawing
# of three segments, reads it back and draws its sheet into a PNG. Its output
# must equal colours_demo.expected, which fixes where the segments fall:
# y 356 red, y 260 blue in the line font "Dash", y 164 magenta with pen 7,
# each from x 512 to 704. The pixels must show the red line, a dash of 24
# pixels and a gap of 12 repeating every 36 (0.25 and 0.125 in at 96 dpi),
# and a stroke of exactly 5 pixels for pen 7.
#   cmake -DFERUN=... -DPNGPROBE=... -DSRC=<tests/e2e> -DWORK=<dir> -P colours_run.cmake
include(${CMAKE_CURRENT_LIST_DIR}/ferun_steps.cmake)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(png ${WORK}/colours.png)

ferun_step("run" out --png ${png} -e "/coloursFile (${WORK}/colours.qdw) def" ${SRC}/colours_demo.fe)
expect_output("the run" "${out}" ${SRC}/colours_demo.expected)

# probe(colour x y ...): each point has the colour (RRGGBB).
function(probe colour)
  execute_process(COMMAND ${PNGPROBE} ${png} ${colour} ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE report)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "expected ${colour}:\n${report}")
  endif()
endfunction()

probe(FF0000 512 356 560 356 608 356 656 356 704 356)

set(dashes)
set(gaps)
foreach(k RANGE 0 4)
  math(EXPR from "512 + 36 * ${k}")
  math(EXPR mid "${from} + 12")
  math(EXPR to "${from} + 23")
  math(EXPR gap "${from} + 30")
  list(APPEND dashes ${from} 260 ${mid} 260 ${to} 260)
  list(APPEND gaps ${gap} 260)
endforeach()
probe(0000FF ${dashes})
probe(FFFFFF ${gaps})

probe(FF009C 608 162 608 163 608 164 608 165 608 166 520 164 700 164)
probe(FFFFFF 608 161 608 167)
