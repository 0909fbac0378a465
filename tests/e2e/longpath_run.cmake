# plumet installed under a folder whose path is longer than the Windows
# limit (259 characters): a hard link to the program in WORK/<deep>/ must
# find its files there by its own path, whole: the configuration file
# beside it, the scripts of its folder, the compiled image IMAGE copied
# beside it. CASE says which:
#   source       -f: PLUMET.INI beside the program names the language file;
#                the start-up script is found in the program's folder
#   image        the compiled image beside the program, no scripts at all
#   ini_long     -f -i names a configuration file in the deep folder
#   ini_missing  -f -i names a missing file: standard error says so and the
#                configuration file beside the program is used
# Checks the exit status (0), that standard output holds each text of
# EXPECT and standard error each text of ERR_EXPECT ("|" between items).
file(REMOVE_RECURSE ${WORK})
set(_deep ${WORK})
foreach(_letter a b c)
  string(REPEAT ${_letter} 100 _part)
  set(_deep ${_deep}/${_part})
endforeach()
string(LENGTH "${_deep}" _length)
if(_length LESS_EQUAL 259)
  message(FATAL_ERROR "the install folder is only ${_length} characters long")
endif()
file(MAKE_DIRECTORY ${_deep})
# A hard link (a copy where links are not possible): the program's own path
# is then the deep one.
file(CREATE_LINK ${PLUMET} ${_deep}/plumet COPY_ON_ERROR)

set(_lang "/langMark (long lang ran) def\n")
set(_draft "/aIconArray1 [] def\n/aSetIconArrayLength { pop } def\n"
           "/start { (start ran) = langMark = quit } def\n")
set(_args -f)
if(CASE STREQUAL "source")
  file(WRITE ${_deep}/PLUMET.INI "[Defaults]\nLangFile=${_deep}/custom_lang.fe\n")
  file(WRITE ${_deep}/custom_lang.fe ${_lang})
  file(WRITE ${_deep}/draft.fe ${_draft})
elseif(CASE STREQUAL "image")
  file(WRITE ${_deep}/PLUMET.INI "[Defaults]\nLangFile=\n")
  file(COPY_FILE ${IMAGE} ${_deep}/plumet.FEB)
  set(_args)
elseif(CASE STREQUAL "ini_long")
  # No configuration file beside the program: only the one named with -i
  # leads to the language file.
  string(REPEAT n 150 _name)
  file(WRITE ${_deep}/${_name}.ini "[Defaults]\nLangFile=${_deep}/custom_lang.fe\n")
  file(WRITE ${_deep}/custom_lang.fe ${_lang})
  file(WRITE ${_deep}/draft.fe ${_draft})
  list(APPEND _args -i ${_deep}/${_name}.ini)
elseif(CASE STREQUAL "ini_missing")
  file(WRITE ${_deep}/PLUMET.INI "[Defaults]\nLangFile=${_deep}/custom_lang.fe\n")
  file(WRITE ${_deep}/custom_lang.fe ${_lang})
  file(WRITE ${_deep}/draft.fe ${_draft})
  list(APPEND _args -i ${_deep}/missing.ini)
else()
  message(FATAL_ERROR "unknown case ${CASE}")
endif()

execute_process(COMMAND ${_deep}/plumet ${_args}
                RESULT_VARIABLE _status OUTPUT_VARIABLE _out ERROR_VARIABLE _err TIMEOUT 60)
set(_report "stdout: ${_out}\nstderr: ${_err}")
if(NOT "${_status}" STREQUAL "0")
  message(FATAL_ERROR "plumet exited with ${_status}\n${_report}")
endif()
foreach(_pair "EXPECT;_out;output" "ERR_EXPECT;_err;standard error")
  list(GET _pair 0 _listVar)
  list(GET _pair 1 _textVar)
  list(GET _pair 2 _what)
  string(REPLACE "|" ";" _items "${${_listVar}}")
  foreach(_text IN LISTS _items)
    string(FIND "${${_textVar}}" "${_text}" _at)
    if(_at EQUAL -1)
      message(FATAL_ERROR "${_what} lacks \"${_text}\"\n${_report}")
    endif()
  endforeach()
endforeach()
file(REMOVE_RECURSE ${WORK})
