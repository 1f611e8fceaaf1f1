# A stand-in libXinerama.so.1 for Linux (built with the machine's own C compiler, also in the cross build),
# which the tests of several monitors put first on LD_LIBRARY_PATH: it answers the heads listed in
# ORLINDE_XINERAMA_HEADS, so that one wide Xvfb screen shows as several monitors to Wine and to orlinde.
# Builds it into <current binary dir>/xinerama as the target `target`.
function(orlinde_add_xinerama_stand_in target)
  find_program(ORLINDE_HOST_CC NAMES cc gcc REQUIRED)
  set(xinerama_dir ${CMAKE_CURRENT_BINARY_DIR}/xinerama)
  set(source ${PROJECT_SOURCE_DIR}/tests/e2e/host/fixtures/xinerama_heads.c)
  add_custom_command(OUTPUT ${xinerama_dir}/libXinerama.so.1
    COMMAND ${CMAKE_COMMAND} -E make_directory ${xinerama_dir}
    COMMAND ${ORLINDE_HOST_CC} -shared -fPIC -O2 -Wall -Wextra -Werror -Wl,-soname,libXinerama.so.1
            -o ${xinerama_dir}/libXinerama.so.1 ${source}
    DEPENDS ${source}
    COMMENT "Building the stand-in libXinerama.so.1")
  add_custom_target(${target} ALL DEPENDS ${xinerama_dir}/libXinerama.so.1)
endfunction()
