// OpenGL 1.1 and GLU headers without windows.h: on Windows the headers only need the calling
// convention and import macros, which are defined here when nothing else has defined them.
#pragma once

#if defined(_WIN32) && !defined(APIENTRY)
#define APIENTRY __stdcall
#define ORLINDE_DEFINED_APIENTRY
#endif
#if defined(_WIN32) && !defined(WINGDIAPI)
#define WINGDIAPI __declspec(dllimport)
#define ORLINDE_DEFINED_WINGDIAPI
#endif
#if defined(_WIN32) && !defined(CALLBACK)
#define CALLBACK __stdcall
#define ORLINDE_DEFINED_CALLBACK
#endif

#include <GL/gl.h>
#include <GL/glu.h>
