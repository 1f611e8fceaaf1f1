// OpenGL ES 2.0 header for the shader path: WebGL 1 through Emscripten, an OpenGL ES 2 context, or the
// GL 2.0 entry points of a desktop context (OSMesa in the tests), which share the same names. A file that
// includes this does not include scene/Gl.h: the two headers declare the same names differently.
#pragma once

#include <GLES2/gl2.h>
