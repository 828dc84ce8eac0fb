#pragma once

// The part of OpenGL 1.1 and GLU that the drawing code speaks, carried out
// over WebGL 1 (OpenGL ES 2.0), which has no fixed pipeline: immediate mode,
// the model-view and projection stacks, the lighting model with two lights
// (no specular term: the material's is black), colour material, the alpha
// test, polygons drawn as lines with polygon offset, and attribute push and
// pop. Each call keeps GL 1.1's meaning, so the drawing code and its
// pictures stay those of the desktop. The functions live in namespace
// kelvane, where they hide the ES functions of the same name for the code
// of this namespace.

#include <GLES2/gl2.h>

namespace kelvane {

using GLdouble = double;

}  // namespace kelvane

// GL 1.1 names that ES 2.0 lacks, with their GL 1.1 values, as gl.h has them.
#define GL_QUADS 0x0007
#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701
#define GL_LIGHTING 0x0B50
#define GL_LIGHT0 0x4000
#define GL_LIGHT1 0x4001
#define GL_AMBIENT 0x1200
#define GL_DIFFUSE 0x1201
#define GL_POSITION 0x1203
#define GL_AMBIENT_AND_DIFFUSE 0x1602
#define GL_COLOR_MATERIAL 0x0B57
#define GL_NORMALIZE 0x0BA1
#define GL_ALPHA_TEST 0x0BC0
#define GL_SMOOTH 0x1D01
#define GL_POINT_SMOOTH 0x0B10
#define GL_LINE_SMOOTH 0x0B20
#define GL_POLYGON_SMOOTH 0x0B41
#define GL_PERSPECTIVE_CORRECTION_HINT 0x0C50
#define GL_POINT_SMOOTH_HINT 0x0C51
#define GL_LINE_SMOOTH_HINT 0x0C52
#define GL_POLYGON_SMOOTH_HINT 0x0C53
#define GL_LINE 0x1B01
#define GL_FILL 0x1B02
#define GL_POLYGON_OFFSET_LINE 0x2A02
#define GL_CURRENT_BIT 0x00000001
#define GL_POLYGON_BIT 0x00000008
#define GL_LIGHTING_BIT 0x00000040
#define GL_VIEWPORT_BIT 0x00000800
#define GL_ENABLE_BIT 0x00002000
#define GL_TEXTURE_BIT 0x00040000
#define GL_SCISSOR_BIT 0x00080000
#define GL_ALL_ATTRIB_BITS 0xFFFFFFFF

namespace kelvane {

// Capabilities and state.
void glEnable(GLenum cap);
void glDisable(GLenum cap);
void glHint(GLenum target, GLenum mode);
void glShadeModel(GLenum mode);
void glBlendFunc(GLenum source, GLenum destination);
void glDepthFunc(GLenum func);
void glAlphaFunc(GLenum func, GLfloat reference);
void glClearDepth(GLdouble depth);
void glClear(GLbitfield mask);
void glViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void glScissor(GLint x, GLint y, GLsizei width, GLsizei height);
void glPolygonMode(GLenum face, GLenum mode);
void glPolygonOffset(GLfloat factor, GLfloat units);
void glPushAttrib(GLbitfield mask);
void glPopAttrib();
void glReadBuffer(GLenum mode);

// Lighting.
void glLightfv(GLenum light, GLenum name, const GLfloat* values);
void glColorMaterial(GLenum face, GLenum mode);

// Matrices.
void glMatrixMode(GLenum mode);
void glLoadIdentity();
void glPushMatrix();
void glPopMatrix();
void glTranslated(GLdouble x, GLdouble y, GLdouble z);
void glRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z);
void glScaled(GLdouble x, GLdouble y, GLdouble z);
void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar);
void gluPerspective(GLdouble fovY, GLdouble aspect, GLdouble zNear, GLdouble zFar);

// Immediate mode.
void glBegin(GLenum mode);
void glEnd();
void glVertex2d(GLdouble x, GLdouble y);
void glVertex3d(GLdouble x, GLdouble y, GLdouble z);
void glNormal3d(GLdouble x, GLdouble y, GLdouble z);
void glTexCoord2d(GLdouble s, GLdouble t);
void glColor3ub(GLubyte red, GLubyte green, GLubyte blue);

// Textures: name 0 is the default texture, as in GL 1.1; any size may
// repeat; internal format 4 means RGBA.
void glBindTexture(GLenum target, GLuint name);
void glTexParameteri(GLenum target, GLenum name, GLint value);
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const void* pixels);

}  // namespace kelvane
