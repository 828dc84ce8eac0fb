#include "app/texture_view_control.h"

#include <cmath>

#include "platform/platform.h"

namespace kelvane {

double textureScale(const TextureViewState& state) { return std::ldexp(1.0, state.zoomStep); }

TexturePlacement placeTexture(const TextureViewState& state, std::uint32_t imageWidth, std::uint32_t imageHeight,
                              int clientWidth, int clientHeight) {
    const double scale = textureScale(state);
    return {clientWidth / 2.0 + state.panX - imageWidth * scale / 2, clientHeight / 2.0 + state.panY - imageHeight * scale / 2,
            scale};
}

bool onTextureMouseMove(TextureViewState& state, const MouseSample& sample) {
    state.pointerX = sample.x, state.pointerY = sample.y;
    if (!sample.leftButton) {
        state.dragging = false;
        return false;
    }
    const bool moved = state.dragging && (sample.x != state.anchorX || sample.y != state.anchorY);
    if (moved) state.panX += sample.x - state.anchorX, state.panY += sample.y - state.anchorY;
    state.dragging = true;
    state.anchorX = sample.x, state.anchorY = sample.y;
    return moved;
}

bool onTextureWheel(TextureViewState& state, int delta, int clientWidth, int clientHeight) {
    const int step = state.zoomStep + (delta > 0 ? 1 : -1);
    if (step < TextureViewState::kMinZoomStep || step > TextureViewState::kMaxZoomStep) return false;
    const bool seen = state.pointerX >= 0 && state.pointerY >= 0;
    // The pointer's offset from the image centre grows or shrinks with the
    // image, so the texel under it stays there.
    const double px = seen ? state.pointerX - clientWidth / 2.0 : 0, py = seen ? state.pointerY - clientHeight / 2.0 : 0;
    const double factor = step > state.zoomStep ? 2.0 : 0.5;
    state.panX = px - (px - state.panX) * factor;
    state.panY = py - (py - state.panY) * factor;
    state.zoomStep = step;
    return true;
}

void onTextureKey(TextureViewState& state, std::uintptr_t virtualKey) {
    if (virtualKey != platform::vk::Home) return;
    state.zoomStep = 0;
    state.panX = state.panY = 0;
}

}  // namespace kelvane
