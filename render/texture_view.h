#pragma once

#include <vector>

#include "render/frame_images.h"
#include "render/uv_layout.h"

namespace kelvane {

class TextureCache;

// Where the texture view puts the image in the client area: its top-left
// corner in client pixels (y down; drawn at the nearest whole pixel) and how
// many pixels one texel takes.
struct TexturePlacement {
    double left = 0;
    double top = 0;
    double scale = 1;
};

// One whole frame of the texture view, without the buffer swap: the image
// flat and upright (first row at the top) over a checkerboard that shows
// through where its alpha does, texels sharp from 1:1 up; the background
// the generation's clear colour. With `uv`, those triangles' edges over it,
// one pixel wide, repeated as the texture repeats and cut at its edges. The
// model view's GL state, viewport and matrices come back as they were.
void drawTextureView(const FrameImage& image, const TexturePlacement& place, int clientWidth, int clientHeight,
                     const std::vector<UvTriangle>* uv, TextureCache& cache);

}  // namespace kelvane
