# One whole-program run of plumet, headless, in a fresh temporary folder
# WORK: the configuration file WORK/PLUMET.INI names WORK/scripts/ as the
# search path ("/Defaults/FEPath"), and the scripts of CASE are written
# there. Checks the exit status (0; any other when FAILS is set: a failed
# start-up), that standard output holds each text of EXPECT and none of
# REJECT, and that standard error holds each text of ERR_EXPECT.
# Lists arrive with "|" between their items.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/scripts)
file(WRITE ${WORK}/PLUMET.INI "[Defaults]\nFEPath=${WORK}/scripts\nLangFile=\n")

set(_switches -f)
if(CASE STREQUAL "source")
  # Names differ in case from the ones start-up asks for.
  file(WRITE ${WORK}/scripts/LANG.FE "/langMark (lang ran) def\n")
  file(WRITE ${WORK}/scripts/Draft.fe
       "/aIconArray1 [] def\n/aSetIconArrayLength { pop } def\n"
       "/start { (start ran) = langMark = quit } def\n")
elseif(CASE STREQUAL "missing_draft")
  file(WRITE ${WORK}/scripts/lang.fe "/langMark (lang ran) def\n")
elseif(CASE STREQUAL "start_error")
  # "start" calls an undefined name: the run must not go on to its end.
  file(WRITE ${WORK}/scripts/lang.fe "/langMark (lang ran) def\n")
  file(WRITE ${WORK}/scripts/draft.fe
       "/aIconArray1 [] def\n/aSetIconArrayLength { pop } def\n"
       "/start { (start began) = noSuchStartName (start ended) = quit } def\n")
elseif(CASE STREQUAL "caught_error")
  # draft.fe and "start" each catch an error of their own: neither is a
  # failure, so "start" runs and the program ends normally.
  file(WRITE ${WORK}/scripts/lang.fe "/langMark (lang ran) def\n")
  file(WRITE ${WORK}/scripts/draft.fe
       "{ 1 (a) add } stopped pop clear\n"
       "/aIconArray1 [] def\n/aSetIconArrayLength { pop } def\n"
       "/start { { noSuchStartName } stopped pop (start ran) = quit } def\n")
elseif(CASE STREQUAL "draft_error")
  # An error nothing catches ends the start-up script: "start" never runs.
  file(WRITE ${WORK}/scripts/lang.fe "/langMark (lang ran) def\n")
  file(WRITE ${WORK}/scripts/draft.fe
       "/aIconArray1 [] def\n/aSetIconArrayLength { pop } def\n"
       "/start { (start ran) = quit } def\n1 (a) add\n")
elseif(CASE STREQUAL "image")
  # The search path holds no scripts at all: the image must do.
  set(_switches)
endif()

execute_process(COMMAND ${PLUMET} ${_switches} -i ${WORK}/plumet.ini
                RESULT_VARIABLE _status OUTPUT_VARIABLE _out ERROR_VARIABLE _err TIMEOUT 60)
set(_report "stdout: ${_out}\nstderr: ${_err}")
if(FAILS)
  if("${_status}" STREQUAL "0" OR NOT "${_status}" MATCHES "^[0-9]+$")
    message(FATAL_ERROR "plumet exited with ${_status}, not a failure status\n${_report}")
  endif()
elseif(NOT "${_status}" STREQUAL "0")
  message(FATAL_ERROR "plumet exited with ${_status}\n${_report}")
endif()
string(REPLACE "|" ";" _expect "${EXPECT}")
foreach(_text IN LISTS _expect)
  string(FIND "${_out}" "${_text}" _at)
  if(_at EQUAL -1)
    message(FATAL_ERROR "output lacks \"${_text}\"\n${_report}")
  endif()
endforeach()
string(REPLACE "|" ";" _reject "${REJECT}")
foreach(_text IN LISTS _reject)
  string(FIND "${_out}" "${_text}" _at)
  if(NOT _at EQUAL -1)
    message(FATAL_ERROR "output holds \"${_text}\"\n${_report}")
  endif()
endforeach()
string(REPLACE "|" ";" _errExpect "${ERR_EXPECT}")
foreach(_text IN LISTS _errExpect)
  string(FIND "${_err}" "${_text}" _at)
  if(_at EQUAL -1)
    message(FATAL_ERROR "standard error lacks \"${_text}\"\n${_report}")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
