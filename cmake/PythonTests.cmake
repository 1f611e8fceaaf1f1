# Python unittest modules as ctest tests, and a check that none of their cases is left out.
#
#   orlinde_add_python_cases(MODULE test_x PREFIX name CASES Class.test_y ... [KEEP_CLASS] [TIMEOUT s]
#                            [LABELS ...] [FIXTURES_REQUIRED ...] [ENVIRONMENT VAR=value ...])
#       one test a case, named PREFIX_y (PREFIX_Class_y with KEEP_CLASS), run by `python3 -m unittest`
#       in the module's folder;
#   orlinde_add_python_module(MODULE test_x NAME name [TIMEOUT s] [LABELS ...] [FIXTURES_REQUIRED ...]
#                             [ENVIRONMENT ...])
#       one test that runs every case of the module.
# Every test gets the harness folder on PYTHONPATH. The module's file must be test_x.py in the calling
# folder. The check fails the configure step, and so the build, which re-runs it when a module changes:
#   - when a case the module holds is not in CASES, or CASES names a case the module does not hold;
#   - when a test_*.py module in a folder that registers Python tests is registered by neither function.
# A module's cases are listed without importing it (tests/harness/unittest_cases.py).
#
# Debian's python3 first: it has the packages tools/setup.sh installs (numpy, pefile).
find_program(ORLINDE_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT ORLINDE_PYTHON)
  find_program(ORLINDE_PYTHON NAMES python3 REQUIRED)
endif()
cmake_path(SET ORLINDE_HARNESS_DIR NORMALIZE ${CMAKE_CURRENT_LIST_DIR}/../tests/harness)

# The cases a module holds, sorted, into the variable named by `out`.
function(orlinde_python_module_cases module_file out)
  execute_process(COMMAND ${ORLINDE_PYTHON} ${ORLINDE_HARNESS_DIR}/unittest_cases.py ${module_file}
    OUTPUT_VARIABLE listed ERROR_VARIABLE error RESULT_VARIABLE result OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "Cannot list the test cases of ${module_file}: ${error}")
  endif()
  string(REPLACE "\n" ";" listed "${listed}")
  set(${out} "${listed}" PARENT_SCOPE)
endfunction()

# Notes the module as registered in this folder, re-runs the configure step when it changes, and arranges
# the folder's check for modules nobody registered.
function(_orlinde_python_module_registered module module_file)
  if(NOT EXISTS ${module_file})
    message(FATAL_ERROR "${CMAKE_CURRENT_LIST_FILE}: there is no test module ${module_file}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${module_file})
  get_property(registered DIRECTORY PROPERTY ORLINDE_PYTHON_MODULES)
  if(module IN_LIST registered)
    message(FATAL_ERROR "${CMAKE_CURRENT_LIST_FILE}: the test module ${module} is registered twice")
  endif()
  if(NOT registered)
    cmake_language(DEFER CALL _orlinde_check_python_modules_registered)
  endif()
  set_property(DIRECTORY APPEND PROPERTY ORLINDE_PYTHON_MODULES ${module})
endfunction()

function(_orlinde_check_python_modules_registered)
  get_property(registered DIRECTORY PROPERTY ORLINDE_PYTHON_MODULES)
  file(GLOB modules RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/test_*.py)
  set(missing)
  foreach(file IN LISTS modules)
    string(REGEX REPLACE "\\.py$" "" module ${file})
    if(NOT module IN_LIST registered)
      list(APPEND missing ${file})
    endif()
  endforeach()
  if(missing)
    list(JOIN missing ", " missing)
    message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR}: test modules registered with ctest by no "
                        "orlinde_add_python_cases or orlinde_add_python_module call: ${missing}")
  endif()
endfunction()

function(_orlinde_add_python_test name what)
  cmake_parse_arguments(T "" "TIMEOUT" "LABELS;FIXTURES_REQUIRED;ENVIRONMENT;RESOURCE_LOCK" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 180)
  endif()
  add_test(NAME ${name} COMMAND ${ORLINDE_PYTHON} -m unittest -v ${what}
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  set(environment ${T_ENVIRONMENT} PYTHONPATH=${ORLINDE_HARNESS_DIR} PYTHONDONTWRITEBYTECODE=1)
  # A case that cannot run here (unittest's "OK (skipped=1)") shows as skipped, not as passed.
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${environment}"
                       SKIP_REGULAR_EXPRESSION "OK \\(skipped=")
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
  if(T_FIXTURES_REQUIRED)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "${T_FIXTURES_REQUIRED}")
  endif()
  if(T_RESOURCE_LOCK)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${T_RESOURCE_LOCK}")
  endif()
endfunction()

function(orlinde_add_python_cases)
  cmake_parse_arguments(C "KEEP_CLASS" "PREFIX;MODULE;TIMEOUT"
                        "CASES;LABELS;FIXTURES_REQUIRED;ENVIRONMENT;RESOURCE_LOCK" ${ARGN})
  set(module_file ${CMAKE_CURRENT_SOURCE_DIR}/${C_MODULE}.py)
  _orlinde_python_module_registered(${C_MODULE} ${module_file})
  if(NOT C_CASES)
    message(FATAL_ERROR "${CMAKE_CURRENT_LIST_FILE}: no CASES for ${C_MODULE}")
  endif()
  orlinde_python_module_cases(${module_file} held)
  set(not_registered ${held})
  list(REMOVE_ITEM not_registered ${C_CASES})
  set(not_held ${C_CASES})
  if(held)
    list(REMOVE_ITEM not_held ${held})
  endif()
  if(not_registered OR not_held)
    set(report "")
    if(not_registered)
      list(JOIN not_registered "\n    " text)
      string(APPEND report "\n  cases in ${C_MODULE}.py that are not registered with ctest:\n    ${text}")
    endif()
    if(not_held)
      list(JOIN not_held "\n    " text)
      string(APPEND report "\n  registered cases that ${C_MODULE}.py does not hold:\n    ${text}")
    endif()
    message(FATAL_ERROR "${CMAKE_CURRENT_LIST_FILE}: the CASES of ${C_MODULE} do not match the module:"
                        "${report}")
  endif()
  foreach(case IN LISTS C_CASES)
    if(C_KEEP_CLASS)
      string(REGEX REPLACE "^([A-Za-z0-9_]+)\\.test_?" "\\1_" short ${case})
    else()
      string(REGEX REPLACE ".*\\.test_?" "" short ${case})
    endif()
    _orlinde_add_python_test(${C_PREFIX}_${short} ${C_MODULE}.${case} TIMEOUT ${C_TIMEOUT} LABELS ${C_LABELS}
      FIXTURES_REQUIRED ${C_FIXTURES_REQUIRED} ENVIRONMENT ${C_ENVIRONMENT} RESOURCE_LOCK ${C_RESOURCE_LOCK})
  endforeach()
endfunction()

function(orlinde_add_python_module)
  cmake_parse_arguments(M "" "NAME;MODULE;TIMEOUT" "LABELS;FIXTURES_REQUIRED;ENVIRONMENT;RESOURCE_LOCK" ${ARGN})
  _orlinde_python_module_registered(${M_MODULE} ${CMAKE_CURRENT_SOURCE_DIR}/${M_MODULE}.py)
  _orlinde_add_python_test(${M_NAME} ${M_MODULE} TIMEOUT ${M_TIMEOUT} LABELS ${M_LABELS}
    FIXTURES_REQUIRED ${M_FIXTURES_REQUIRED} ENVIRONMENT ${M_ENVIRONMENT} RESOURCE_LOCK ${M_RESOURCE_LOCK})
endfunction()
