// The one place the renderer includes OpenGL: desktop GL with the prototypes
// of everything past 1.1 (Mesa's libGL exports them all).
#pragma once

#ifndef GL_GLEXT_PROTOTYPES
#define GL_GLEXT_PROTOTYPES 1
#endif
#include <GL/gl.h>
#include <GL/glext.h>
