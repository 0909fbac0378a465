# The milestone: one run of ferun saves a drawing, a fresh run opens it,
# draws its sheet into a PNG and refuses two damaged copies. The second
# run's output must equal milestone_open.expected; every segment end it
# prints must be inked in the PNG, and the corners must not be.
#   cmake -DFERUN=... -DPNGPROBE=... -DSRC=<tests/e2e> -DWORK=<dir> -P milestone_run.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(define "/milestoneFile (${WORK}/milestone.qdw) def")

execute_process(COMMAND ${FERUN} -e ${define} ${SRC}/milestone_save.fe
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "save run: status ${status}\n${out}\n${err}")
endif()

execute_process(COMMAND ${FERUN} --png ${WORK}/milestone.png -e ${define} ${SRC}/milestone_open.fe
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "open run: status ${status}\n${out}\n${err}")
endif()
file(READ ${SRC}/milestone_open.expected expected)
if(NOT out STREQUAL expected)
  message(FATAL_ERROR "open run printed:\n${out}\nexpected:\n${expected}")
endif()

string(REGEX MATCHALL "point: -?[0-9]+ -?[0-9]+" points "${out}")
set(coords)
foreach(p ${points})
  string(REGEX REPLACE "point: (-?[0-9]+) (-?[0-9]+)" "\\1;\\2" xy "${p}")
  list(APPEND coords ${xy})
endforeach()
execute_process(COMMAND ${PNGPROBE} ${WORK}/milestone.png differ ${coords}
                RESULT_VARIABLE status OUTPUT_VARIABLE probe)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "segment ends not drawn:\n${probe}")
endif()
execute_process(COMMAND ${PNGPROBE} ${WORK}/milestone.png same 3 3 RESULT_VARIABLE status OUTPUT_VARIABLE probe)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the corner is drawn:\n${probe}")
endif()
