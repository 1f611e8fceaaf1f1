# The tree's include rules, checked on every build (and as a test).
#  1. One rule per folder says which platform headers its files may include:
#       scene/            the portable scene: neither Win32 nor X11/GLX headers, in any file;
#       host/, common/,   Windows programs and what they share: Win32 headers only in Win32 shell files
#       renderer/         (named *Win32.*), X11/GLX headers nowhere;
#       linux/            the Linux program: X11/GLX headers only in X11 shell files (named *X11.*), Wayland
#                         and EGL headers only in Wayland shell files (named *Wayland.*), Win32 headers
#                         nowhere.
#       web/              the web page: Emscripten's headers only in its shell files (named *Web.*).
#     Wayland, EGL and Emscripten headers are allowed nowhere else.
#     No file is an exception: entry points are shell files and carry the suffix too.
#  2. scene/ depends on nothing else of the project: its files include project files from scene/ alone.
#  3. Every include of a project file names its folder from the repository root
#     (#include "host/settings/Settings.h"), so where a file lives is never hidden.
# Run as: cmake -DROOT=<repository> -P CheckSourceRules.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT ROOT)
  message(FATAL_ERROR "CheckSourceRules.cmake needs -DROOT=<repository>")
endif()

set(x11_headers "X11/[A-Za-z0-9_]+\\.h|GL/glx\\.h|GL/glxext\\.h")
set(wayland_headers "wayland-[A-Za-z0-9_-]+\\.h|[A-Za-z0-9_-]+-client-protocol\\.h|EGL/[A-Za-z0-9_]+\\.h|xkbcommon/[A-Za-z0-9_-]+\\.h")
set(win32_headers "windows\\.h|mmsystem\\.h|commdlg\\.h|shellapi\\.h|winuser\\.h|wingdi\\.h|winbase\\.h|windef\\.h")
set(web_headers "emscripten\\.h|emscripten/[A-Za-z0-9_]+\\.h")

# folder, then the file-name suffix allowed Win32 headers, the one allowed X11 headers and the one allowed
# Wayland headers and the one allowed Emscripten's headers ("" = none).
set(folder_rules
  "scene||||"
  "common|Win32|||"
  "host|Win32|||"
  "renderer|Win32|||"
  "linux||X11|Wayland|"
  "web||||Web")

set(faults "")
foreach(rule IN LISTS folder_rules)
  string(REPLACE "|" ";" parts "${rule}")
  list(GET parts 0 folder)
  list(GET parts 1 win32_suffix)
  list(GET parts 2 x11_suffix)
  list(GET parts 3 wayland_suffix)
  list(GET parts 4 web_suffix)
  file(GLOB_RECURSE product RELATIVE ${ROOT} ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
  foreach(file IN LISTS product)
    get_filename_component(stem ${file} NAME_WE)
    foreach(platform win32 x11 wayland web)
      if(platform STREQUAL "win32")
        set(suffix "${win32_suffix}")
        set(headers "${win32_headers}")
        set(what "a Win32 header")
      elseif(platform STREQUAL "wayland")
        set(suffix "${wayland_suffix}")
        set(headers "${wayland_headers}")
        set(what "a Wayland or EGL header")
      elseif(platform STREQUAL "web")
        set(suffix "${web_suffix}")
        set(headers "${web_headers}")
        set(what "an Emscripten header")
      else()
        set(suffix "${x11_suffix}")
        set(headers "${x11_headers}")
        set(what "an X11 or GLX header")
      endif()
      if(NOT suffix STREQUAL "" AND stem MATCHES "${suffix}$")
        continue()
      endif()
      file(STRINGS ${ROOT}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*<(${headers})>")
      foreach(line IN LISTS lines)
        if(suffix STREQUAL "")
          list(APPEND faults "${file}: ${folder}/ includes ${what} in no file (${line})")
        else()
          list(APPEND faults "${file}: only *${suffix} files in ${folder}/ include ${what} (${line}); move the code into one")
        endif()
      endforeach()
    endforeach()
  endforeach()
endforeach()

file(GLOB_RECURSE scene_sources RELATIVE ${ROOT} ${ROOT}/scene/*.h ${ROOT}/scene/*.cpp)
foreach(file IN LISTS scene_sources)
  file(STRINGS ${ROOT}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z]+/")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "\"scene/")
      list(APPEND faults "${file}: scene/ includes a file from another folder (${line}); the scene depends on nothing else")
    endif()
  endforeach()
endforeach()

file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/host/*.h ${ROOT}/host/*.cpp ${ROOT}/common/*.h ${ROOT}/common/*.cpp
     ${ROOT}/scene/*.h ${ROOT}/scene/*.cpp ${ROOT}/renderer/*.h ${ROOT}/renderer/*.cpp ${ROOT}/linux/*.h
     ${ROOT}/linux/*.cpp ${ROOT}/web/*.h ${ROOT}/web/*.cpp ${ROOT}/tests/*.h ${ROOT}/tests/*.cpp ${ROOT}/tools/*.h ${ROOT}/tools/*.cpp)
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
