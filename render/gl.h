#pragma once

// OpenGL 1.1 and GLU, the way every platform spells them.
#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>
#include <GL/glu.h>
