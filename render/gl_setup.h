#pragma once

#include "common/generation.h"

namespace kelvane {

// Sets the fixed pipeline state once, on a fresh context that is current:
// clear colour, colour material, depth and alpha tests, blending, smoothing
// hints and (current generation) the two lights, placed while the
// model-view matrix is the identity so they stay fixed to the viewer.
void initGl(Generation generation);

// Viewport and perspective projection for a client area of the given size.
// Leaves the matrix mode at GL_MODELVIEW. An empty client area (a minimised
// window) leaves viewport and projection as they were: any aspect formed
// from it would be 0, infinite or NaN.
void resizeViewport(Generation generation, int width, int height);

}  // namespace kelvane
