# Lines and points: lines_demo.fe makes them, saves, reads the drawing back
# and draws its sheet. Its output must equal lines_demo.expected; every end
# it prints in pixels must be inked in the PNG, and the empty corner must
# not be.
#   cmake -DFERUN=... -DPNGPROBE=... -DSRC=<tests/e2e> -DWORK=<dir> -P lines_run.cmake
include(${CMAKE_CURRENT_LIST_DIR}/ferun_steps.cmake)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(png ${WORK}/lines.png)

ferun_step("run" out --png ${png} -e "/linesFile (${WORK}/lines.qdw) def" ${SRC}/lines_demo.fe)
expect_output("the run" "${out}" ${SRC}/lines_demo.expected)
expect_inked("ends not drawn" ${png} "${out}")
expect_clear_corner(${png})
