#pragma once

// OpenGL 1.1 and GLU, the way every platform spells them; in a web page,
// the same calls carried out over WebGL.
#if defined(__EMSCRIPTEN__)
#include "render/webgl/gl11.h"
#else
#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>
#include <GL/glu.h>
#endif
