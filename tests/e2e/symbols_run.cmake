# Symbols: symbols_save.fe places a master three times and saves the
# drawing; a fresh run of symbols_open.fe opens it. Both runs must print the
# same instance, master and count lines; the open run's output must equal
# symbols_open.expected, and every member end it prints in pixels must be
# inked in its PNG.
#   cmake -DFERUN=... -DPNGPROBE=... -DSRC=<tests/e2e> -DWORK=<dir> -P symbols_run.cmake
include(${CMAKE_CURRENT_LIST_DIR}/ferun_steps.cmake)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(define "/symbolsFile (${WORK}/symbols.qdw) def")

ferun_step("save run" saved -e ${define} ${SRC}/symbols_save.fe)
ferun_step("open run" out --png ${WORK}/symbols.png -e ${define} ${SRC}/symbols_open.fe)
string(FIND "${out}" "${saved}" at)
if(NOT at EQUAL 0)
  message(FATAL_ERROR "the open run's lines differ from the save run's:\n${out}\nsaved:\n${saved}")
endif()
expect_output("open run" "${out}" ${SRC}/symbols_open.expected)
expect_inked("member ends not drawn" ${WORK}/symbols.png "${out}")
