# Every operator that the program's modules declare must be defined once
# the program's environment has started (as ferun starts it, without
# --bare), so that a registration cannot go missing unnoticed.
#
#   cmake -DROOT=<source tree> -DFERUN=<ferun> -DWORK=<folder> -P op_coverage.cmake
#
# The names come from the sources of the module folders below: in every file
# that registers operators (it names feOpSpec or calls feRegisterOp), each
# table entry that starts with a name, a handler and a signature
# ({"name", handler, "signature" ...}), each feRegisterOp("name", ...) call
# and each here("name", ...) row of the interpreter's own table, outside
# whole-line comments. A script then looks each name up with "where" and
# prints the ones it cannot find.

cmake_minimum_required(VERSION 3.20)

foreach(_var ROOT FERUN WORK)
  if(NOT DEFINED ${_var} OR "${${_var}}" STREQUAL "")
    message(FATAL_ERROR "op_coverage: pass -D${_var}=...")
  endif()
endforeach()

set(_folders core fe ui draw objects views geometry tools app)

# Names that a table declares but that start-up does not register (a
# plug-in's, a test stand-in's, one behind a debug switch), each with its
# reason. None at present.
set(_exceptions)

# Names that must be found by the extraction itself: if one is missing, the
# patterns below no longer read the tables and the check would pass on an
# empty list.
set(_must_extract add aClump aGetSelectGobj aObjInClass aWorldToScreen aLineMake tLoadLib)

set(_id "[A-Za-z_][A-Za-z0-9_:<>]*")
set(_ws "[ \t\r\n]*")
set(_entry_re "{${_ws}\"([^\"\n]+)\"${_ws},${_ws}${_id}${_ws},${_ws}\"[^\"\n]*\"")
set(_call_re "(feRegisterOp|[^A-Za-z0-9_]here)\\(${_ws}\"([^\"\n]+)\"")

string(ASCII 2 _OPEN)
string(ASCII 3 _CLOSE)
set(_names "")
foreach(_folder IN LISTS _folders)
  file(GLOB_RECURSE _files "${ROOT}/${_folder}/*.cpp" "${ROOT}/${_folder}/*.h")
  list(SORT _files)
  foreach(_file IN LISTS _files)
    file(READ "${_file}" _text)
    if(NOT _text MATCHES "feOpSpec|feRegisterOp")
      continue()
    endif()
    # CMake lists split at ";" except inside square brackets: neither may
    # reach a list (the operators "[" and "]" are names too). The brackets
    # are put back when the script is written.
    string(REPLACE ";" " " _text "${_text}")
    # Whole-line comments may show how to register an operator.
    string(REGEX REPLACE "\n[ \t]*//[^\n]*" "\n" _text "\n${_text}")
    string(REPLACE "[" "${_OPEN}" _text "${_text}")
    string(REPLACE "]" "${_CLOSE}" _text "${_text}")
    string(REGEX MATCHALL "${_entry_re}" _entries "${_text}")
    foreach(_e IN LISTS _entries)
      string(REGEX REPLACE "^{${_ws}\"([^\"\n]+)\".*$" "\\1" _name "${_e}")
      list(APPEND _names "${_name}")
    endforeach()
    string(REGEX MATCHALL "${_call_re}" _calls "${_text}")
    foreach(_c IN LISTS _calls)
      string(REGEX REPLACE "^[^\"]*\"([^\"\n]+)\"$" "\\1" _name "${_c}")
      list(APPEND _names "${_name}")
    endforeach()
  endforeach()
endforeach()
list(REMOVE_DUPLICATES _names)
list(SORT _names)

foreach(_name IN LISTS _must_extract)
  if(NOT _name IN_LIST _names)
    message(FATAL_ERROR "op_coverage: the extraction did not find \"${_name}\": the table patterns need updating")
  endif()
endforeach()
foreach(_name IN LISTS _exceptions)
  list(REMOVE_ITEM _names "${_name}")
endforeach()

# The names go into the script as strings turned into names with cvn, so
# that "]" and other names the scanner would not take as literals pass.
set(_script "/missing 0 def\n")
foreach(_name IN LISTS _names)
  string(REPLACE "${_OPEN}" "[" _quoted "${_name}")
  string(REPLACE "${_CLOSE}" "]" _quoted "${_quoted}")
  string(REPLACE "\\" "\\\\" _quoted "${_quoted}")
  string(REPLACE "(" "\\(" _quoted "${_quoted}")
  string(REPLACE ")" "\\)" _quoted "${_quoted}")
  string(APPEND _script
         "(${_quoted}) dup cvn where { pop pop } { (missing: ) print = /missing missing 1 add def } ifelse\n")
endforeach()
string(APPEND _script "missing 0 eq { (all defined) = } if\n")

file(MAKE_DIRECTORY "${WORK}")
file(WRITE "${WORK}/op_coverage.fe" "${_script}")
execute_process(COMMAND ${FERUN} "${WORK}/op_coverage.fe" RESULT_VARIABLE _status OUTPUT_VARIABLE _out
                ERROR_VARIABLE _err TIMEOUT 120)
if(NOT "${_status}" STREQUAL "0" OR NOT _out MATCHES "all defined")
  message(FATAL_ERROR "op_coverage: operators declared but not defined after start-up (ferun status ${_status}):\n"
                      "${_out}\nstderr: ${_err}")
endif()
list(LENGTH _names _count)
message(STATUS "op_coverage: ${_count} operator names defined")
