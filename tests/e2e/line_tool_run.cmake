# The line tool driven by queued mouse and keys: line_tool.fe draws two lines
# with presses, a drag and Return, saves, reads the drawing back and draws
# its sheet. Its output must equal line_tool.expected; the spots it prints in
# pixels must be inked in the PNG, and the empty corner must not be.
#   cmake -DFERUN=... -DPNGPROBE=... -DSRC=<tests/e2e> -DWORK=<dir> -P line_tool_run.cmake
include(${CMAKE_CURRENT_LIST_DIR}/ferun_steps.cmake)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(png ${WORK}/line_tool.png)

ferun_step("run" out --png ${png}
           -e "/toolFile (${WORK}/line_tool.qdw) def /toolSource (${WORK}/line_tool_src.qdw) def"
           ${SRC}/line_tool.fe)
expect_output("the run" "${out}" ${SRC}/line_tool.expected)
expect_inked("lines not drawn" ${png} "${out}")
expect_clear_corner(${png})
