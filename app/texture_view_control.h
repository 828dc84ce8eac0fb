#pragma once

#include <cstdint>

#include "app/view_control.h"
#include "render/texture_view.h"

namespace kelvane {

// Zoom and pan of the texture view, and where the pointer was last seen.
struct TextureViewState {
    static constexpr int kMinZoomStep = -3;  // 1/8 x
    static constexpr int kMaxZoomStep = 5;   // 32 x
    int zoomStep = 0;   // a texel takes 2^zoomStep pixels
    double panX = 0;    // the image centre's offset from the client area's, in pixels
    double panY = 0;
    bool dragging = false;
    double anchorX = 0, anchorY = 0;    // the drag's previous sample
    double pointerX = -1, pointerY = -1;  // last position over the client area; negative: never seen
};

double textureScale(const TextureViewState& state);

// The image's place in a client area of the given size.
TexturePlacement placeTexture(const TextureViewState& state, std::uint32_t imageWidth, std::uint32_t imageHeight,
                              int clientWidth, int clientHeight);

// Every mouse move: remembers the pointer. With the left button down, a
// drag pans the image; returns true when it moved.
bool onTextureMouseMove(TextureViewState& state, const MouseSample& sample);

// One zoom step (a power of two) per wheel message, nearer for a positive
// delta, about the texel under the pointer (the centre when the pointer was
// never seen); returns false at either end of the range.
bool onTextureWheel(TextureViewState& state, int delta, int clientWidth, int clientHeight);

// HOME: 1:1, centred. Other keys change nothing.
void onTextureKey(TextureViewState& state, std::uintptr_t virtualKey);

}  // namespace kelvane
