# Checks that the source folders include one another only downwards.
#
#   cmake -DROOT=<source tree> [-DREADME=<file>] -P check_layers.cmake
#
# The layers come from the README's architecture table: every row whose first
# cell is a rank number and whose second cell is a folder name in backticks
# ending in "/", e.g.
#
#   | 2 | `core/` | memory, text, files, translations |
#
# Several folders may share a rank, and a folder may sit inside another one
# (`plugins/quenby/` inside `plugins/`); a path belongs to the longest folder
# of the table it starts with.
#
# Every #include "..." of every .h, .hpp, .c and .cpp file under the table's
# folders is resolved to a folder of the table the same way. A file may include
# files of its own rank or a lower one; an include of a higher rank is reported
# as "file:line: ..." and makes the script fail. Includes that start with no
# folder of the table ("layer.h", <windows.h>) are not layer includes and are
# left alone.

cmake_minimum_required(VERSION 3.20)

if(NOT DEFINED ROOT OR ROOT STREQUAL "")
  message(FATAL_ERROR "check_layers: pass the source tree root as -DROOT=<dir>")
endif()
get_filename_component(ROOT "${ROOT}" ABSOLUTE)
if(NOT IS_DIRECTORY "${ROOT}")
  message(FATAL_ERROR "check_layers: ROOT is not a directory: ${ROOT}")
endif()
if(NOT DEFINED README OR README STREQUAL "")
  set(README "${ROOT}/README.md")
endif()
get_filename_component(README "${README}" ABSOLUTE)
if(NOT EXISTS "${README}")
  message(FATAL_ERROR "check_layers: README not found: ${README}")
endif()

# A file's text becomes a CMake list of its lines. The characters that CMake
# lists treat specially (";" separates, "[" "]" group, "\" escapes) are first
# replaced by control characters that do not occur in source text, so every
# physical line is exactly one element, empty lines included, and the element
# index gives the line number. _check_layers_restore puts them back.
string(ASCII 1 _CL_SEMI)
string(ASCII 2 _CL_OPEN)
string(ASCII 3 _CL_CLOSE)
string(ASCII 4 _CL_BSLASH)

function(_check_layers_read_lines file outVar)
  file(READ "${file}" _text)
  string(REPLACE "\\" "${_CL_BSLASH}" _text "${_text}")
  string(REPLACE ";" "${_CL_SEMI}" _text "${_text}")
  string(REPLACE "[" "${_CL_OPEN}" _text "${_text}")
  string(REPLACE "]" "${_CL_CLOSE}" _text "${_text}")
  string(REPLACE "\r\n" "\n" _text "${_text}")
  string(REPLACE "\n" ";" _text "${_text}")
  set(${outVar} "${_text}" PARENT_SCOPE)
endfunction()

function(_check_layers_restore var)
  set(_s "${${var}}")
  string(REPLACE "${_CL_BSLASH}" "\\" _s "${_s}")
  string(REPLACE "${_CL_SEMI}" ";" _s "${_s}")
  string(REPLACE "${_CL_OPEN}" "[" _s "${_s}")
  string(REPLACE "${_CL_CLOSE}" "]" _s "${_s}")
  set(${var} "${_s}" PARENT_SCOPE)
endfunction()

# --- The layer table ------------------------------------------------------

set(_row_re "^[ \t]*\\|[ \t]*([0-9]+)[ \t]*\\|[ \t]*`([^`|]+/)`[ \t]*\\|")

_check_layers_read_lines("${README}" _readme_lines)
set(_folders "")
set(_ranks "")
foreach(_line IN LISTS _readme_lines)
  if(NOT _line MATCHES "${_row_re}")
    continue()
  endif()
  math(EXPR _rank "${CMAKE_MATCH_1}")
  set(_folder "${CMAKE_MATCH_2}")
  _check_layers_restore(_folder)
  string(REGEX REPLACE "^(\\./)+" "" _folder "${_folder}")
  list(FIND _folders "${_folder}" _index)
  if(_index GREATER -1)
    list(GET _ranks ${_index} _listed)
    if(NOT _listed EQUAL _rank)
      message(FATAL_ERROR "check_layers: ${_folder} is listed in ${README} with ranks "
                          "${_listed} and ${_rank}")
    endif()
    continue()
  endif()
  list(APPEND _folders "${_folder}")
  list(APPEND _ranks "${_rank}")
endforeach()

if(NOT _folders)
  message(FATAL_ERROR "check_layers: no layer table found in README (${README}): expected rows "
                      "like \"| 2 | `core/` | ... |\"")
endif()

# Longest folders first, so the first folder a path starts with is the
# innermost one.
set(_by_length "")
foreach(_folder IN LISTS _folders)
  string(LENGTH "${_folder}" _len)
  math(EXPR _key "100000 + ${_len}")
  list(APPEND _by_length "${_key}|${_folder}")
endforeach()
list(SORT _by_length COMPARE NATURAL ORDER DESCENDING)
set(_folders_longest_first "")
foreach(_entry IN LISTS _by_length)
  string(REGEX REPLACE "^[0-9]+\\|" "" _folder "${_entry}")
  list(APPEND _folders_longest_first "${_folder}")
endforeach()

# Sets outVar to the innermost table folder that path starts with, or to ""
# when it starts with none.
function(_check_layers_folder_of path outVar)
  foreach(_folder IN LISTS _folders_longest_first)
    string(LENGTH "${_folder}" _len)
    string(SUBSTRING "${path}" 0 ${_len} _head)
    if(_head STREQUAL _folder)
      set(${outVar} "${_folder}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${outVar} "" PARENT_SCOPE)
endfunction()

function(_check_layers_rank_of folder outVar)
  list(FIND _folders "${folder}" _index)
  list(GET _ranks ${_index} _rank)
  set(${outVar} "${_rank}" PARENT_SCOPE)
endfunction()

# --- The sources ----------------------------------------------------------

set(_files "")
foreach(_folder IN LISTS _folders)
  if(NOT IS_DIRECTORY "${ROOT}/${_folder}")
    continue()
  endif()
  file(GLOB_RECURSE _found LIST_DIRECTORIES false RELATIVE "${ROOT}"
       "${ROOT}/${_folder}*.h" "${ROOT}/${_folder}*.hpp"
       "${ROOT}/${_folder}*.c" "${ROOT}/${_folder}*.cpp")
  list(APPEND _files ${_found})
endforeach()
# A nested folder's files were found through its parent as well.
list(REMOVE_DUPLICATES _files)
list(SORT _files)

set(_include_re "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\"")
set(_file_count 0)
set(_include_count 0)
set(_violation_count 0)

foreach(_file IN LISTS _files)
  math(EXPR _file_count "${_file_count} + 1")
  _check_layers_folder_of("${_file}" _own)
  _check_layers_rank_of("${_own}" _own_rank)

  file(READ "${ROOT}/${_file}" _probe)
  if(NOT _probe MATCHES "#[ \t]*include")
    continue()
  endif()

  _check_layers_read_lines("${ROOT}/${_file}" _lines)
  set(_lineno 0)
  foreach(_line IN LISTS _lines)
    math(EXPR _lineno "${_lineno} + 1")
    if(NOT _line MATCHES "${_include_re}")
      continue()
    endif()
    set(_target "${CMAKE_MATCH_1}")
    _check_layers_restore(_target)
    _check_layers_folder_of("${_target}" _layer)
    if(_layer STREQUAL "")
      continue()
    endif()
    math(EXPR _include_count "${_include_count} + 1")
    _check_layers_rank_of("${_layer}" _layer_rank)
    if(_layer_rank GREATER _own_rank)
      math(EXPR _violation_count "${_violation_count} + 1")
      message(NOTICE "${_file}:${_lineno}: includes \"${_target}\" (layer ${_layer}, rank ${_layer_rank})"
                     " from layer ${_own} (rank ${_own_rank})")
    endif()
  endforeach()
endforeach()

if(_violation_count GREATER 0)
  message(FATAL_ERROR "${_violation_count} include(s) point to a higher layer")
endif()

list(LENGTH _folders _folder_count)
message(STATUS "layers: ${_file_count} files and ${_include_count} layer includes checked "
               "against ${_folder_count} folders; no include points to a higher layer")
