#include "platform/fltk/fltk_bitmap.h"

#include <FL/Fl_BMP_Image.H>

#include <array>
#include <cstddef>
#include <fstream>

#include "platform/win32/bmp_extent.h"

namespace kelvane::platform::fltk {

std::optional<Bitmap> bottomUpBgr(const unsigned char* topDown, int width, int height, int depth, int lineBytes) {
    if (!topDown || width <= 0 || height <= 0 || depth < 1 || depth > 4) return std::nullopt;
    const std::size_t sourceStride =
        lineBytes > 0 ? static_cast<std::size_t>(lineBytes) : static_cast<std::size_t>(width) * depth;
    if (sourceStride < static_cast<std::size_t>(width) * depth) return std::nullopt;
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};

    Bitmap bitmap;
    bitmap.width = static_cast<std::uint32_t>(width);
    bitmap.height = static_cast<std::uint32_t>(height);
    bitmap.bottomUpBgrRows.assign(stride * height, 0);
    for (int y = 0; y < height; ++y) {
        const unsigned char* source = topDown + sourceStride * y;
        std::uint8_t* row = &bitmap.bottomUpBgrRows[stride * (height - 1 - y)];
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = source + static_cast<std::size_t>(x) * depth;
            const bool grey = depth < 3;
            row[3 * x + 0] = grey ? p[0] : p[2];
            row[3 * x + 1] = grey ? p[0] : p[1];
            row[3 * x + 2] = p[0];
        }
    }
    return bitmap;
}

namespace {
// FLTK decodes run-length-encoded BMPs (RLE8, RLE4) wrongly for some widths
// without saying so; such files are refused rather than shown garbled.
bool runLengthEncoded(const std::filesystem::path& path) {
    std::array<unsigned char, 34> head{};
    std::ifstream in(path, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(head.data()), head.size())) return false;
    const std::uint32_t infoSize = head[14] | (head[15] << 8) | (head[16] << 16) | (std::uint32_t{head[17]} << 24);
    const std::uint32_t compression = head[30] | (head[31] << 8) | (head[32] << 16) | (std::uint32_t{head[33]} << 24);
    constexpr std::uint32_t kRle8 = 1, kRle4 = 2;
    return head[0] == 'B' && head[1] == 'M' && infoSize >= 40 && (compression == kRle8 || compression == kRle4);
}

// FLTK's reader sizes its buffer from the header alone, in int arithmetic
// (a huge or negative size throws or overflows), and fills rows the file
// lacks with junk. So the file must hold every row its header promises (the
// check the Win32 backend makes before its loader) and stay under the same
// pixel limit.
constexpr std::uint64_t kMaxPixels = 64ull * 1024 * 1024;

bool holdsWholePicture(const std::filesystem::path& path) {
    auto file = ByteReader::open(path, nullptr);
    std::uint64_t pixels = 0;
    return file && win32::bmpDataInsideFile(*file, &pixels) && pixels <= kMaxPixels;
}
}  // namespace

std::optional<Bitmap> loadBmpFile(const std::filesystem::path& path) {
    if (runLengthEncoded(path) || !holdsWholePicture(path)) return std::nullopt;
    Fl_BMP_Image image(path.string().c_str());
    if (image.fail() || image.count() < 1 || !image.data() || !image.data()[0]) return std::nullopt;
    return bottomUpBgr(reinterpret_cast<const unsigned char*>(image.data()[0]), image.w(), image.h(), image.d(),
                       image.ld());
}

}  // namespace kelvane::platform::fltk
