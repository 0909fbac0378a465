# Checks the program's dynamic symbols: plug-ins reach the program by
# ordinal only, so its one exported symbol of its own is the export table
# "plumet_exports"; no function of the program carries a name.
#
#   cmake -DPROGRAM=<plumet> [-DNM=<nm>] -P check_dynsyms.cmake
#
# What else the linker puts in the table is not the program's: symbols of the
# system libraries (versioned, "name@VERSION"), the standard library's
# template code that the executable shares with libstdc++ (std::), and the
# run-time names of the toolchain and the sanitizers ("__..."; "_end" and
# the like). Without nm the check prints "nm not found" and is skipped.

if(NOT DEFINED PROGRAM OR NOT EXISTS "${PROGRAM}")
  message(FATAL_ERROR "check_dynsyms: pass the program as -DPROGRAM=<file>")
endif()
if(NOT DEFINED NM OR NM STREQUAL "")
  find_program(NM NAMES nm)
endif()
if(NOT NM)
  message("check_dynsyms: nm not found; skipped")
  return()
endif()

execute_process(COMMAND ${NM} -D --defined-only "${PROGRAM}"
                RESULT_VARIABLE _status OUTPUT_VARIABLE _out ERROR_VARIABLE _err)
if(NOT _status EQUAL 0)
  message(FATAL_ERROR "check_dynsyms: ${NM} failed (${_status}): ${_err}")
endif()

string(REPLACE "\n" ";" _lines "${_out}")
set(_table FALSE)
set(_ours "")
foreach(_line IN LISTS _lines)
  if(NOT _line MATCHES "^[0-9a-fA-F]* *([A-Za-z]) (.+)$")
    continue()
  endif()
  set(_type "${CMAKE_MATCH_1}")
  set(_name "${CMAKE_MATCH_2}")
  if(_name STREQUAL "plumet_exports")
    if(NOT _type MATCHES "^[DdRrBb]$")
      message(FATAL_ERROR "check_dynsyms: plumet_exports is not data (type ${_type})")
    endif()
    set(_table TRUE)
  elseif(_name MATCHES "@"                      # a system library's, versioned
         OR _name MATCHES "^__"                 # toolchain and sanitizer run time
         OR _name MATCHES "^_(edata|end|init|fini|IO_stdin_used)$"
         OR _name MATCHES "^_Z(N|NK|T[VIS]N?)?St" # std:: (code, vtables, type info)
         OR _name MATCHES "^_Z(nw|na|dl|da)[mPv]") # operator new and delete
  else()
    list(APPEND _ours "${_type} ${_name}")
  endif()
endforeach()

if(NOT _table)
  message(FATAL_ERROR "check_dynsyms: ${PROGRAM} does not export plumet_exports")
endif()
if(_ours)
  string(REPLACE ";" "\n  " _list "${_ours}")
  message(FATAL_ERROR "check_dynsyms: ${PROGRAM} exports symbols of its own besides the table:\n  ${_list}")
endif()
message(STATUS "check_dynsyms: only plumet_exports")
