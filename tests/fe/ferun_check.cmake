# Runs ferun with the arguments after "--" and checks its exit status
# (STATUS), that its standard output holds OUTPUT (empty: not checked) and,
# when EXPECTED_FILE is given, that it is exactly that file's text.
# A list separator cannot pass through add_test, so OUTPUT writes ";" as
# "@SEMI@".
set(_args)
set(_take FALSE)
math(EXPR _last "${CMAKE_ARGC} - 1")
foreach(_i RANGE ${_last})
  if(_take)
    list(APPEND _args "${CMAKE_ARGV${_i}}")
  elseif("${CMAKE_ARGV${_i}}" STREQUAL "--")
    set(_take TRUE)
  endif()
endforeach()

execute_process(COMMAND ${FERUN} ${_args} RESULT_VARIABLE _status OUTPUT_VARIABLE _out ERROR_VARIABLE _err)
if(NOT "${_status}" STREQUAL "${STATUS}")
  message(FATAL_ERROR "ferun exited with ${_status}, expected ${STATUS}\nstdout: ${_out}\nstderr: ${_err}")
endif()
string(REPLACE "@SEMI@" ";" _expected "${OUTPUT}")
if(NOT "${_expected}" STREQUAL "")
  string(FIND "${_out}" "${_expected}" _at)
  if(_at EQUAL -1)
    message(FATAL_ERROR "ferun output lacks \"${_expected}\"\nstdout: ${_out}\nstderr: ${_err}")
  endif()
endif()
if(DEFINED EXPECTED_FILE AND NOT "${EXPECTED_FILE}" STREQUAL "")
  file(READ "${EXPECTED_FILE}" _whole)
  if(NOT "${_out}" STREQUAL "${_whole}")
    message(FATAL_ERROR "ferun output differs from ${EXPECTED_FILE}\nstdout: ${_out}\nstderr: ${_err}")
  endif()
endif()
