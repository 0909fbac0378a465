# An abort that no script takes ends ferun cleanly: memory is refused
# (--refuse-larger) to a run that asks for a large array; the runner shows
# the fatal alert, reports the abandoned run in one line on standard error,
# runs no further text and exits with status 3. FERUN names the runner;
# BARE (ON/OFF) runs the interpreter alone.
set(_bare)
if(BARE)
  set(_bare --bare)
endif()
execute_process(COMMAND ${FERUN} ${_bare} --refuse-larger 4096 -e "(before) =" -e "20000 array pop" -e "(after) ="
                RESULT_VARIABLE _status OUTPUT_VARIABLE _out ERROR_VARIABLE _err)
set(_seen "status ${_status}\nstdout: ${_out}\nstderr: ${_err}")
if(NOT "${_status}" STREQUAL "3")
  message(FATAL_ERROR "ferun should end with status 3\n${_seen}")
endif()
if(NOT _out MATCHES "before" OR _out MATCHES "after")
  message(FATAL_ERROR "the run before should have printed, the one after not\n${_seen}")
endif()
if(NOT _err MATCHES "Out of memory\\.")
  message(FATAL_ERROR "the fatal alert is missing\n${_seen}")
endif()
if(NOT _err MATCHES "ferun: -e: abandoned \\(abort signal 6\\)\n")
  message(FATAL_ERROR "the one-line report is missing\n${_seen}")
endif()
if(_err MATCHES "Sanitizer|terminate")
  message(FATAL_ERROR "the run did not end cleanly\n${_seen}")
endif()
