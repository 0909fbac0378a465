# Window events, view frames, script events, printing and the grid:
# window_print.fe's output must equal window_print.expected; the page it
# prints must be a 425 x 550 PNG (50 dots per inch) with the horizontal line
# through its centre and a clear corner; both drawings saved after the
# print must hold the printer set-up block (its tag "WIN3" and size 12).
#   cmake -DFERUN=... -DPNGPROBE=... -DSRC=<tests/e2e> -DWORK=<dir> -P window_print_run.cmake
include(${CMAKE_CURRENT_LIST_DIR}/ferun_steps.cmake)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/print)
set(ENV{PLUMET_PRINT_DIR} ${WORK}/print)

ferun_step("run" out --png ${WORK}/window_print.png
           -e "/wpSource (${WORK}/src.qdw) def /wpFile (${WORK}/saved.qdw) def /wpAgain (${WORK}/again.qdw) def"
           ${SRC}/window_print.fe)
expect_output("the run" "${out}" ${SRC}/window_print.expected)

set(page ${WORK}/print/window_print-1.png)
if(NOT EXISTS ${page})
  message(FATAL_ERROR "no page was written")
endif()
file(READ ${page} header LIMIT 24 HEX)
# The PNG header's width and height (bytes 16-23): 425 x 550.
string(SUBSTRING "${header}" 32 16 size)
if(NOT size STREQUAL "000001a900000226")
  message(FATAL_ERROR "the page is not 425 x 550: ${size}")
endif()
execute_process(COMMAND ${PNGPROBE} ${page} differ 212 275 RESULT_VARIABLE status OUTPUT_VARIABLE probe)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the line is not on the page:\n${probe}")
endif()
execute_process(COMMAND ${PNGPROBE} ${page} same 5 5 RESULT_VARIABLE status OUTPUT_VARIABLE probe)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the page's corner is drawn:\n${probe}")
endif()

foreach(saved saved again)
  file(READ ${WORK}/${saved}.qdw bytes HEX)
  string(FIND "${bytes}" "334e49570c00" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${saved}.qdw holds no printer set-up block")
  endif()
endforeach()
