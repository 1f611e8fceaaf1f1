# Tests that run Windows programs under Wine: the shared prefix fixture and two helpers.
#
#   orlinde_add_wine_test(NAME name COMMAND target-or-exe [args...] [LOCALE ja_JP.UTF-8] [TIMEOUT s])
#       runs a Windows program (a test program or fixture) on a private virtual display.
#   orlinde_add_e2e_test(NAME name SCRIPT file.py CASE Class.test_name [TIMEOUT s])
#       runs one case of a Python end-to-end test against the built programs.
find_program(ORLINDE_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT ORLINDE_PYTHON)
  find_program(ORLINDE_PYTHON NAMES python3 REQUIRED)
endif()

set(ORLINDE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(ORLINDE_HARNESS_DIR ${PROJECT_SOURCE_DIR}/tests/harness)

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

function(orlinde_add_e2e_test)
  cmake_parse_arguments(E "" "NAME;SCRIPT;CASE;TIMEOUT" "" ${ARGN})
  if(NOT E_TIMEOUT)
    set(E_TIMEOUT 180)
  endif()
  add_test(NAME ${E_NAME}
    COMMAND ${ORLINDE_PYTHON} -m unittest -v ${E_CASE}
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  set_tests_properties(${E_NAME} PROPERTIES FIXTURES_REQUIRED wine_prefix TIMEOUT ${E_TIMEOUT} LABELS e2e
    ENVIRONMENT "ORLINDE_BUILD_DIR=${CMAKE_BINARY_DIR};ORLINDE_WINEPREFIX=${ORLINDE_WINEPREFIX};ORLINDE_ARTIFACTS_DIR=${ORLINDE_ARTIFACTS_DIR};ORLINDE_SOURCE_DIR=${PROJECT_SOURCE_DIR};PYTHONPATH=${ORLINDE_HARNESS_DIR};PYTHONDONTWRITEBYTECODE=1")
endfunction()

# Registers cases of one Python test module, each as its own test:
#   orlinde_add_e2e_cases(PREFIX e2e_host MODULE test_host [KEEP_CLASS] CASES Class.test_x ...)
# A test is named PREFIX_x, or PREFIX_Class_x with KEEP_CLASS.
function(orlinde_add_e2e_cases)
  cmake_parse_arguments(C "KEEP_CLASS" "PREFIX;MODULE;TIMEOUT" "CASES" ${ARGN})
  foreach(case IN LISTS C_CASES)
    if(C_KEEP_CLASS)
      string(REGEX REPLACE "^([A-Za-z0-9_]+)\\.test_" "\\1_" short ${case})
    else()
      string(REGEX REPLACE ".*\\.test_" "" short ${case})
    endif()
    orlinde_add_e2e_test(NAME ${C_PREFIX}_${short} CASE ${C_MODULE}.${case} TIMEOUT ${C_TIMEOUT})
  endforeach()
endfunction()
