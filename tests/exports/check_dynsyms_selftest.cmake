# The dynamic-symbol check's own cases: listings given through a stand-in
# for nm, each with the verdict the check must reach.
#
#   cmake -DWORK=<scratch dir> -DCHECK=<check_dynsyms.cmake> -P check_dynsyms_selftest.cmake

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(WRITE "${WORK}/program" "")
set(_fake "${WORK}/fake-nm")
file(WRITE "${_fake}" "#!/bin/sh\ncat \"${WORK}/listing\"\n")
file(CHMOD "${_fake}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

set(_table "0000000000001000 D plumet_exports\n")
set(_shared "0000000000002000 W _ZNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEE6appendEPKc
0000000000003000 B stdout@GLIBC_2.2.5
0000000000004000 B __asan_option_detect_stack_use_after_return
0000000000005000 V _ZTVSt9exception@GLIBCXX_3.4
0000000000006000 R _IO_stdin_used
")
# name, listing, expected result (0 passes)
set(_names clean no_table c_function cxx_function namespaced table_as_code)
set(_listing_clean "${_table}${_shared}")
set(_expect_clean 0)
set(_listing_no_table "${_shared}")
set(_expect_no_table 1)
set(_listing_c_function "${_table}${_shared}0000000000007000 T feRegisterOp\n")
set(_expect_c_function 1)
set(_listing_cxx_function "${_table}0000000000007000 T _Z12feRegisterOpPKcPFiP6feArgsES1_mm\n")
set(_expect_cxx_function 1)
set(_listing_namespaced "${_table}0000000000007000 W _ZN2pl14equalNoCaseESt17basic_string_viewIcSt11char_traitsIcEES3_\n")
set(_expect_namespaced 1)
set(_listing_table_as_code "0000000000001000 T plumet_exports\n")
set(_expect_table_as_code 1)

foreach(_name IN LISTS _names)
  file(WRITE "${WORK}/listing" "${_listing_${_name}}")
  execute_process(COMMAND ${CMAKE_COMMAND} -DPROGRAM=${WORK}/program -DNM=${_fake} -P ${CHECK}
                  RESULT_VARIABLE _status OUTPUT_VARIABLE _out ERROR_VARIABLE _err)
  if(_status EQUAL 0)
    set(_got 0)
  else()
    set(_got 1)
  endif()
  if(NOT _got EQUAL _expect_${_name})
    message(FATAL_ERROR "check_dynsyms case ${_name}: status ${_status}, expected ${_expect_${_name}}\n${_out}${_err}")
  endif()
endforeach()
message(STATUS "check_dynsyms: all cases as expected")
