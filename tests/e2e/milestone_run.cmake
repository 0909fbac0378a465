# The milestone: one run of ferun saves a drawing, a fresh run opens it,
# draws its sheet into a PNG and refuses two damaged copies. The second
# run's output must equal milestone_open.expected; every segment end it
# prints must be inked in the PNG, and the corners must not be.
#   cmake -DFERUN=... -DPNGPROBE=... -DSRC=<tests/e2e> -DWORK=<dir> -P milestone_run.cmake
include(${CMAKE_CURRENT_LIST_DIR}/ferun_steps.cmake)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(define "/milestoneFile (${WORK}/milestone.qdw) def")

ferun_step("save run" saved -e ${define} ${SRC}/milestone_save.fe)
ferun_step("open run" out --png ${WORK}/milestone.png -e ${define} ${SRC}/milestone_open.fe)
expect_output("open run" "${out}" ${SRC}/milestone_open.expected)
expect_inked("segment ends not drawn" ${WORK}/milestone.png "${out}")

expect_clear_corner(${WORK}/milestone.png)
