# Registers one CTest entry per test program (not per case). Windows programs
# run under Wine with a private prefix of the build tree: "wineprefix", or
# the one PREFIX names. Runs under another locale get a prefix of their own:
# Wine keeps the user's formats in the prefix's registry and rewrites them
# whenever a process of another locale starts, so a helper process of an
# earlier run starting late could switch them back mid-test.
function(tm_add_test name target)
  cmake_parse_arguments(T "" "PREFIX" "ARGS;LABELS;ENVIRONMENT" ${ARGN})
  add_test(NAME ${name} COMMAND ${target} ${T_ARGS})
  set(env ${T_ENVIRONMENT})
  if(NOT T_PREFIX)
    set(T_PREFIX wineprefix)
  endif()
  if(WIN32 AND CMAKE_CROSSCOMPILING)
    list(APPEND env "WINEPREFIX=${CMAKE_BINARY_DIR}/${T_PREFIX}")
  endif()
  if(env)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}")
  endif()
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()
