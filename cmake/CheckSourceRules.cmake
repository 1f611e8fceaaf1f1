# The tree's two include rules, checked on every build (and as a test):
#  1. Only Win32 shell files (named *Win32.*) and the two entry points include windows.h or another
#     Win32 header, so the portable cores never see the platform. Likewise only X11 shell files (named
#     *X11.*) include an X11 or GLX header.
#  2. Every include of a project file names its folder from the repository root
#     (#include "host/settings/Settings.h"), so where a file lives is never hidden.
# Run as: cmake -DROOT=<repository> -P CheckSourceRules.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT ROOT)
  message(FATAL_ERROR "CheckSourceRules.cmake needs -DROOT=<repository>")
endif()

set(entry_points host/app/WinMain.cpp renderer/Renderer.cpp)
set(x11_headers "X11/[A-Za-z0-9_]+\\.h|GL/glx\\.h|GL/glxext\\.h")
set(win32_headers "windows\\.h|mmsystem\\.h|commdlg\\.h|shellapi\\.h|winuser\\.h|wingdi\\.h|winbase\\.h|windef\\.h")

set(faults "")
file(GLOB_RECURSE product RELATIVE ${ROOT} ${ROOT}/host/*.h ${ROOT}/host/*.cpp ${ROOT}/common/*.h ${ROOT}/common/*.cpp
     ${ROOT}/renderer/*.h ${ROOT}/renderer/*.cpp)
foreach(file IN LISTS product)
  get_filename_component(stem ${file} NAME_WE)
  if(NOT stem MATCHES "X11$")
    file(STRINGS ${ROOT}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*<(${x11_headers})>")
    foreach(line IN LISTS lines)
      list(APPEND faults "${file}: a file that is not an X11 shell includes an X11 or GLX header (${line}); move the code into a *X11 file")
    endforeach()
  endif()
  if(stem MATCHES "Win32$" OR file IN_LIST entry_points)
    continue()
  endif()
  file(STRINGS ${ROOT}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*<(${win32_headers})>")
  foreach(line IN LISTS lines)
    list(APPEND faults "${file}: a portable core file includes a Win32 header (${line}); move the code into a *Win32 file")
  endforeach()
endforeach()

file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/host/*.h ${ROOT}/host/*.cpp ${ROOT}/common/*.h ${ROOT}/common/*.cpp
     ${ROOT}/renderer/*.h ${ROOT}/renderer/*.cpp ${ROOT}/tests/*.h ${ROOT}/tests/*.cpp ${ROOT}/tools/*.h ${ROOT}/tools/*.cpp)
foreach(file IN LISTS sources)
  file(STRINGS ${ROOT}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]*\"")
  foreach(line IN LISTS lines)
    list(APPEND faults "${file}: an include that does not name its folder (${line}); write it from the repository root")
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n" text)
  message(FATAL_ERROR "Source rules broken:\n${text}")
endif()
