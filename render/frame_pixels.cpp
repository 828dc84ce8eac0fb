#include "render/frame_pixels.h"

#include <algorithm>

#include "render/gl.h"

namespace kelvane {

std::vector<std::uint8_t> readFramePixels(int width, int height) {
    if (width <= 0 || height <= 0) return {};
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    std::vector<std::uint8_t> rgba(rowBytes * static_cast<std::size_t>(height));
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    // GL counts rows from the bottom.
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(rgba.begin() + top * rowBytes, rgba.begin() + (top + 1) * rowBytes,
                         rgba.begin() + bottom * rowBytes);
    for (std::size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
    return rgba;
}

}  // namespace kelvane
