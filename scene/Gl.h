// OpenGL 1.1 and GLU headers without windows.h: on Windows the headers only need the calling
// convention and import macros, which are defined here when nothing else has defined them.
#pragma once

#if defined(_WIN32) && !defined(APIENTRY)
#define APIENTRY __stdcall
#endif
#if defined(_WIN32) && !defined(WINGDIAPI)
#define WINGDIAPI __declspec(dllimport)
#endif
#if defined(_WIN32) && !defined(CALLBACK)
#define CALLBACK __stdcall
#endif

#include <GL/gl.h>
#include <GL/glu.h>
