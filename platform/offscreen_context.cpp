// What the offscreen backends share: the size check and the read-back.
#include "platform/offscreen_context.h"

#ifdef _WIN32
#include <windows.h>  // Windows' GL header needs it first
#endif
#include <GL/gl.h>

#include <cstring>

namespace kelvane::platform {

Outcome OffscreenContext::checkSize(int width, int height) {
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
        return failure("offscreen size must be between 1 and 16384 pixels a side");
    return Done{};
}

std::vector<std::uint8_t> OffscreenContext::readPixels() const {
    const std::size_t rowBytes = static_cast<std::size_t>(width_) * 4;
    std::vector<std::uint8_t> bottomUp(rowBytes * height_);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    // GL's row 0 is the bottom one; pictures start at the top.
    std::vector<std::uint8_t> topDown(bottomUp.size());
    for (int y = 0; y < height_; ++y)
        std::memcpy(&topDown[static_cast<std::size_t>(y) * rowBytes],
                    &bottomUp[static_cast<std::size_t>(height_ - 1 - y) * rowBytes], rowBytes);
    return topDown;
}

}  // namespace kelvane::platform
