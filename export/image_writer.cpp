// The one place that compiles stb_image_write.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "export/image_writer.h"

#include <climits>
#include <fstream>

// The library's own code, not ours: keep its warnings out of the build log.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#endif
#include <stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace kelvane {
namespace {
void appendToStream(void* context, void* data, int size) {
    static_cast<std::ofstream*>(context)->write(static_cast<const char*>(data), size);
}

// The stb writer takes int sizes and row strides.
bool imageFits(std::uint32_t width, std::uint32_t height, std::uint32_t channels) {
    return width > 0 && height > 0 && width <= INT_MAX / channels && height <= INT_MAX;
}
}  // namespace

bool writePng(const std::filesystem::path& path, std::uint32_t width, std::uint32_t height,
              const std::uint8_t* rgba) {
    if (!imageFits(width, height, 4)) return false;
    // Through a stream, so that paths the C library cannot spell still work.
    std::ofstream out(path, std::ios::binary);
    if (!out) return false;
    const int w = static_cast<int>(width);
    const int ok = stbi_write_png_to_func(appendToStream, &out, w, static_cast<int>(height), 4, rgba, w * 4);
    out.close();
    return ok != 0 && !out.fail();
}

std::vector<std::uint8_t> encodePng(std::uint32_t width, std::uint32_t height, const std::uint8_t* rgba) {
    std::vector<std::uint8_t> bytes;
    if (!imageFits(width, height, 4)) return bytes;
    const auto append = [](void* context, void* data, int size) {
        auto* out = static_cast<std::vector<std::uint8_t>*>(context);
        out->insert(out->end(), static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
    };
    const int w = static_cast<int>(width);
    if (!stbi_write_png_to_func(append, &bytes, w, static_cast<int>(height), 4, rgba, w * 4)) bytes.clear();
    return bytes;
}

bool writeBmp(const std::filesystem::path& path, std::uint32_t width, std::uint32_t height,
              const std::uint8_t* rgb) {
    if (!imageFits(width, height, 3)) return false;
    std::ofstream out(path, std::ios::binary);
    if (!out) return false;
    const int ok =
        stbi_write_bmp_to_func(appendToStream, &out, static_cast<int>(width), static_cast<int>(height), 3, rgb);
    out.close();
    return ok != 0 && !out.fail();
}

}  // namespace kelvane
