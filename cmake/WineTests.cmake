# Tests that run Windows programs under Wine: the shared prefix fixture and two helpers.
#
#   orlinde_add_wine_test(NAME name COMMAND target-or-exe [args...] [LOCALE ja_JP.UTF-8] [TIMEOUT s])
#       runs a Windows program (a test program or fixture) on a private virtual display.
#   orlinde_add_e2e_cases(PREFIX e2e_host MODULE test_host [KEEP_CLASS] [TIMEOUT s] CASES Class.test_x ...)
#       registers the cases of a Python end-to-end test module against the built programs, each its own
#       test (orlinde_add_python_cases of cmake/PythonTests.cmake, with the shared prefix and the programs'
#       places).

set(ORLINDE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)

if(NOT TEST wine_prefix_setup)
  add_test(NAME wine_prefix_setup
    COMMAND ${ORLINDE_PYTHON} -c "import sys; sys.path.insert(0, '${ORLINDE_HARNESS_DIR}'); import wine_session, pathlib; wine_session.ensure_prefix(pathlib.Path('${ORLINDE_WINEPREFIX}'))")
  set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 300)
endif()

function(orlinde_add_wine_test)
  cmake_parse_arguments(W "" "NAME;LOCALE;TIMEOUT" "COMMAND" ${ARGN})
  if(NOT W_LOCALE)
    set(W_LOCALE C.UTF-8)
  endif()
  if(NOT W_TIMEOUT)
    set(W_TIMEOUT 300)
  endif()
  list(POP_FRONT W_COMMAND program)
  if(TARGET ${program})
    set(program $<TARGET_FILE:${program}>)
  endif()
  add_test(NAME ${W_NAME}
    COMMAND ${ORLINDE_PYTHON} ${ORLINDE_HARNESS_DIR}/wine_run.py --prefix ${ORLINDE_WINEPREFIX}
            --locale ${W_LOCALE} --artifacts ${ORLINDE_ARTIFACTS_DIR} --timeout ${W_TIMEOUT} -- ${program} ${W_COMMAND})
  set_tests_properties(${W_NAME} PROPERTIES FIXTURES_REQUIRED wine_prefix TIMEOUT ${W_TIMEOUT} LABELS wine)
endfunction()

# A test is named PREFIX_x, or PREFIX_Class_x with KEEP_CLASS; 180 s unless TIMEOUT says otherwise.
function(orlinde_add_e2e_cases)
  orlinde_add_python_cases(${ARGN} LABELS e2e FIXTURES_REQUIRED wine_prefix ENVIRONMENT
    ORLINDE_BUILD_DIR=${CMAKE_BINARY_DIR} ORLINDE_WINEPREFIX=${ORLINDE_WINEPREFIX}
    ORLINDE_ARTIFACTS_DIR=${ORLINDE_ARTIFACTS_DIR} ORLINDE_SOURCE_DIR=${PROJECT_SOURCE_DIR})
endfunction()
