// The one place that compiles stb_image_write.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "tools/png_writer.h"

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

namespace kelvane::inspect {
namespace {
void appendToStream(void* context, void* data, int size) {
    static_cast<std::ofstream*>(context)->write(static_cast<const char*>(data), size);
}
}  // namespace

bool writePng(const std::filesystem::path& path, std::uint32_t width, std::uint32_t height,
              const std::uint8_t* rgba) {
    if (width == 0 || height == 0 || width > INT_MAX / 4 || height > INT_MAX) return false;
    // Through a stream, so that paths the C library cannot spell still work.
    std::ofstream out(path, std::ios::binary);
    if (!out) return false;
    const int w = static_cast<int>(width);
    const int ok = stbi_write_png_to_func(appendToStream, &out, w, static_cast<int>(height), 4, rgba, w * 4);
    out.close();
    return ok != 0 && !out.fail();
}

}  // namespace kelvane::inspect
