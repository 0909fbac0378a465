# Runs check_layers.cmake on small trees built under WORK and checks what it
# answers.
#
#   cmake -DWORK=<scratch dir> -P check_layers_selftest.cmake
#
# The trees share one README table; plugins/quenby/ sits inside plugins/ with a
# higher rank, so both a file's own layer and an include's layer must be the
# innermost folder of the table.

cmake_minimum_required(VERSION 3.20)

if(NOT DEFINED WORK OR WORK STREQUAL "")
  message(FATAL_ERROR "check_layers_selftest: pass a scratch directory as -DWORK=<dir>")
endif()
get_filename_component(WORK "${WORK}" ABSOLUTE)
set(CHECKER "${CMAKE_CURRENT_LIST_DIR}/check_layers.cmake")

set(README_TABLE [==[
# sample

Some prose; a | pipe | and a `folder/` mentioned in passing.

## Architecture

| Rank | Folder | What it holds |
|------|--------|---------------|
| 1 | `platform/` | the Windows subset on Linux |
| 2 | `core/` | memory, text, files |
| 3 | `fe/` | the interpreter |
| 4 | `ui/` | user interface |
| 4 | `objects/` | drawing objects |
| 5 | `app/` | the program |
| 6 | `plugins/` | plug-in host |
| 7 | `plugins/quenby/` | an export plug-in |

| Tool | Use |
|------|-----|
| 1 | `tools/` is not a layer: the row is in another form |
]==])

# Writes the tree every case starts from: every include in it points to the
# same rank or a lower one.
function(write_good_tree root)
  file(REMOVE_RECURSE "${root}")
  file(WRITE "${root}/README.md" "${README_TABLE}")
  file(WRITE "${root}/platform/src/metrics.cpp" [==[
#include <windows.h>
#include "layer.h"
]==])
  file(WRITE "${root}/core/alloc.h" [==[
#pragma once
#include <cstddef>
]==])
  file(WRITE "${root}/core/alloc.cpp" [==[
#include "core/alloc.h"
#include "layer.h"
// #include "app/main.h" was here once; a comment is not an include.
]==])
  # Not a source file: never read.
  file(WRITE "${root}/core/notes.txt" [==[
#include "app/main.h"
]==])
  file(WRITE "${root}/fe/exec.hpp" [==[
#include "core/alloc.h"
]==])
  file(WRITE "${root}/fe/exec.cpp" [==[
#include "fe/exec.hpp"
#include "core/alloc.h"
]==])
  file(WRITE "${root}/ui/window.h" "")
  file(WRITE "${root}/ui/window.cpp" [==[
#  include "objects/wall.h"
#include "ui/window.h"
]==])
  file(WRITE "${root}/objects/wall.h" [==[
# include "ui/window.h"
]==])
  file(WRITE "${root}/app/main.c" [==[
#include "ui/window.h"
#include "fe/exec.hpp"
]==])
  file(WRITE "${root}/plugins/host.h" [==[
#include "app/main.h"
]==])
  file(WRITE "${root}/plugins/quenby/bmi.h" "")
  file(WRITE "${root}/plugins/quenby/export.cpp" [==[
#include "plugins/quenby/bmi.h"
#include "plugins/host.h"
]==])
  # Outside every folder of the table: never read.
  file(WRITE "${root}/build/generated.cpp" [==[
#include "plugins/quenby/bmi.h"
]==])
endfunction()

# Runs the checker on root (extra -D arguments in ARGN); sets <prefix>_rc and
# <prefix>_out (stdout and stderr together).
function(run_checker prefix root)
  execute_process(COMMAND "${CMAKE_COMMAND}" -DROOT=${root} ${ARGN} -P "${CHECKER}"
                  RESULT_VARIABLE _rc OUTPUT_VARIABLE _out ERROR_VARIABLE _out)
  set(${prefix}_rc "${_rc}" PARENT_SCOPE)
  set(${prefix}_out "${_out}" PARENT_SCOPE)
endfunction()

function(expect_contains what text needle)
  string(FIND "${text}" "${needle}" _at)
  if(_at EQUAL -1)
    message(FATAL_ERROR "${what}: expected the output to contain\n  ${needle}\nbut it was:\n${text}")
  endif()
endfunction()

function(expect_lacks what text needle)
  string(FIND "${text}" "${needle}" _at)
  if(NOT _at EQUAL -1)
    message(FATAL_ERROR "${what}: expected the output not to contain\n  ${needle}\nbut it was:\n${text}")
  endif()
endfunction()

# --- Includes that go down or sideways pass -------------------------------
# Twelve source files: the .txt file and build/ are not counted, the files of
# plugins/quenby/ are counted once although plugins/ holds them too.

set(GOOD "${WORK}/good")
write_good_tree("${GOOD}")
run_checker(good "${GOOD}")
if(NOT good_rc EQUAL 0)
  message(FATAL_ERROR "good tree: expected the check to pass, got ${good_rc}:\n${good_out}")
endif()
expect_contains("good tree" "${good_out}" "12 files")

# --- Upward includes are each reported at their line ----------------------
# core/z.cpp carries the characters CMake lists treat specially and empty
# lines before its include, which must still be reported at line 7.

set(BAD "${WORK}/bad")
write_good_tree("${BAD}")
file(WRITE "${BAD}/core/x.cpp" [==[
#include "core/alloc.h"

#include "fe/y.h"
]==])
file(WRITE "${BAD}/core/z.cpp" [==[
static const char *s = "[;\\";
#define PAIR(a, b) a; \
  b[0] = ']';


/* ; ] [ \ */
#  include "ui/w.h"
]==])
file(WRITE "${BAD}/plugins/host.cpp" [==[
#include "plugins/quenby/bmi.h"
]==])
run_checker(bad "${BAD}")
if(bad_rc EQUAL 0)
  message(FATAL_ERROR "bad tree: expected the check to fail:\n${bad_out}")
endif()
expect_contains("bad tree" "${bad_out}"
  "core/x.cpp:3: includes \"fe/y.h\" (layer fe/, rank 3) from layer core/ (rank 2)")
expect_contains("bad tree" "${bad_out}"
  "core/z.cpp:7: includes \"ui/w.h\" (layer ui/, rank 4) from layer core/ (rank 2)")
expect_contains("bad tree" "${bad_out}"
  "plugins/host.cpp:1: includes \"plugins/quenby/bmi.h\" (layer plugins/quenby/, rank 7) from layer plugins/ (rank 6)")
expect_contains("bad tree" "${bad_out}" "3 include(s) point to a higher layer")
expect_lacks("bad tree" "${bad_out}" "ui/window.cpp:")
expect_lacks("bad tree" "${bad_out}" "plugins/quenby/export.cpp:")

# --- Subsystem folders on ranks of their own: only downward passes -------
# The same tree with ui/ and objects/ no longer sharing a rank: objects/ on
# rank 5 may include ui/ (rank 4), but ui/window.cpp's include of objects/,
# sideways while they shared rank 4, now points up.

set(RANKED "${WORK}/ranked")
write_good_tree("${RANKED}")
string(REPLACE "| 4 | `objects/` |" "| 5 | `objects/` |" _ranked_table "${README_TABLE}")
file(WRITE "${RANKED}/other-readme.md" "${_ranked_table}")
run_checker(ranked "${RANKED}" -DREADME=${RANKED}/other-readme.md)
if(ranked_rc EQUAL 0)
  message(FATAL_ERROR "ranked tree: expected the check to fail:\n${ranked_out}")
endif()
expect_contains("ranked tree" "${ranked_out}"
  "ui/window.cpp:1: includes \"objects/wall.h\" (layer objects/, rank 5) from layer ui/ (rank 4)")
expect_contains("ranked tree" "${ranked_out}" "1 include(s) point to a higher layer")
expect_lacks("ranked tree" "${ranked_out}" "objects/wall.h:")

# --- A README without the table is an error, not an empty pass ------------

set(NOTABLE "${WORK}/notable")
write_good_tree("${NOTABLE}")
file(WRITE "${NOTABLE}/other-readme.md" [==[
# sample

| Rank | Folder |
|------|--------|
| 1 | platform/ |
| 2 | core |
]==])
run_checker(notable "${NOTABLE}" -DREADME=${NOTABLE}/other-readme.md)
if(notable_rc EQUAL 0)
  message(FATAL_ERROR "README without a table: expected the check to fail:\n${notable_out}")
endif()
expect_contains("README without a table" "${notable_out}" "no layer table found in README")

message(STATUS "check_layers self-test passed")
