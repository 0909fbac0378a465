# Steps the end-to-end runners share (include()d by them; FERUN, PNGPROBE
# and SRC come from the runner's -D options).

# ferun_step(label outVar args...): runs ferun with args; a non-zero status,
# or a panic reported on standard error (an internal error the run went on
# after), fails with the label and what the run printed. Its standard output
# goes to outVar.
function(ferun_step label outVar)
  execute_process(COMMAND ${FERUN} ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${label}: status ${status}\n${out}\n${err}")
  endif()
  string(FIND "${err}" "[Panic" panic)
  if(NOT panic EQUAL -1)
    message(FATAL_ERROR "${label}: a panic was reported\n${err}")
  endif()
  set(${outVar} "${out}" PARENT_SCOPE)
endfunction()

# expect_output(label text file): the text must equal the file's contents.
function(expect_output label text file)
  file(READ ${file} expected)
  if(NOT text STREQUAL expected)
    message(FATAL_ERROR "${label} printed:\n${text}\nexpected:\n${expected}")
  endif()
endfunction()

# expect_inked(label png text): every "point: X Y" line of the text must be
# drawn in the PNG (differ from its corner).
function(expect_inked label png text)
  string(REGEX MATCHALL "point: -?[0-9]+ -?[0-9]+" points "${text}")
  set(coords)
  foreach(p ${points})
    string(REGEX REPLACE "point: (-?[0-9]+) (-?[0-9]+)" "\\1;\\2" xy "${p}")
    list(APPEND coords ${xy})
  endforeach()
  execute_process(COMMAND ${PNGPROBE} ${png} differ ${coords} RESULT_VARIABLE status OUTPUT_VARIABLE probe)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${label}:\n${probe}")
  endif()
endfunction()

# expect_clear_corner(png): the pixel (3, 3) must not be drawn (equal to the
# corner pixel pngprobe compares with).
function(expect_clear_corner png)
  execute_process(COMMAND ${PNGPROBE} ${png} same 3 3 RESULT_VARIABLE status OUTPUT_VARIABLE probe)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "the corner is drawn:\n${probe}")
  endif()
endfunction()
