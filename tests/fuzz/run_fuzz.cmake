# Runs one fuzz target for a bounded time over a working copy of its seeds.
#   cmake -DFUZZER=<exe> -DNAME=<target> -DSEEDS=<seed folder> -DWORK=<folder>
#         -DFINDINGS=<folder> -DSECONDS=<n> -P run_fuzz.cmake
# Optional: -DSEED_GLOBS=<glob>|<glob>... adds the matching files to the
# seeds; -DDICT=ON has the target write a dictionary into WORK first
# (the environment variable PLUMET_FUZZ_DICT names the file) and fuzzes with it.
# The environment may change the run:
#   PLUMET_FUZZ_SECONDS      run this long instead (make fuzz)
#   PLUMET_FUZZ_KEEP_CORPUS  1: keep the inputs found by earlier runs in WORK
#                            (otherwise WORK starts again from the seeds)
# New inputs land in WORK/corpus, never among the seeds. A finding (crash,
# leak, timeout, out-of-memory) ends the run with its input saved in FINDINGS
# and fails with the command that reproduces it.
foreach(_var FUZZER NAME SEEDS WORK FINDINGS SECONDS)
  if(NOT DEFINED ${_var})
    message(FATAL_ERROR "run_fuzz.cmake: ${_var} is not set")
  endif()
endforeach()

# The short runs of `make test` start from a fixed seed, so that every
# machine tries the same inputs in the same order (a slower one fewer of
# them) and a run is red only for a finding that reproduces; longer runs
# explore from a random seed.
set(_seed -seed=1)
if(DEFINED ENV{PLUMET_FUZZ_SECONDS} AND NOT "$ENV{PLUMET_FUZZ_SECONDS}" STREQUAL "")
  set(SECONDS $ENV{PLUMET_FUZZ_SECONDS})
  set(_seed)
endif()

set(_corpus ${WORK}/corpus)
if(NOT "$ENV{PLUMET_FUZZ_KEEP_CORPUS}" STREQUAL "1" OR NOT EXISTS ${_corpus})
  file(REMOVE_RECURSE ${_corpus})
  file(MAKE_DIRECTORY ${_corpus})
  file(GLOB _seeds ${SEEDS}/*)
  if(DEFINED SEED_GLOBS AND NOT "${SEED_GLOBS}" STREQUAL "")
    string(REPLACE "|" ";" _globs "${SEED_GLOBS}")
    file(GLOB _more ${_globs})
    list(APPEND _seeds ${_more})
  endif()
  if(_seeds)
    file(COPY ${_seeds} DESTINATION ${_corpus})
  endif()
endif()
file(MAKE_DIRECTORY ${FINDINGS})

# -timeout: seconds one input may take; the targets bound their own runs
# far below it, so reaching it is a finding (a loop the bounds miss).
set(_dict)
if(DICT)
  set(ENV{PLUMET_FUZZ_DICT} ${WORK}/operators.dict)
  set(_dict -dict=${WORK}/operators.dict)
endif()

execute_process(
  COMMAND ${FUZZER} ${_corpus} ${_seed} ${_dict} -max_total_time=${SECONDS} -timeout=30 -rss_limit_mb=2048
          -artifact_prefix=${FINDINGS}/ -print_final_stats=1
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE _result)

if(NOT _result EQUAL 0)
  file(GLOB _found ${FINDINGS}/*)
  string(REPLACE ";" "\n  " _list "${_found}")
  message(FATAL_ERROR "${NAME}: finding (exit ${_result}). Inputs kept in ${FINDINGS}:\n  ${_list}\n"
                      "Reproduce with: ${FUZZER} <input>")
endif()
message(STATUS "${NAME}: no finding in ${SECONDS} s")
