#include "platform/fltk/fltk_bitmap.h"

#include <FL/Fl_BMP_Image.H>

#include <cstddef>

#include "platform/bmp_extent.h"

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
// FLTK's reader sizes its buffer from the header alone, in int arithmetic
// (a huge or negative size throws or overflows), fills rows the file lacks
// with junk, and decodes run-length-encoded files (RLE8, RLE4) wrongly for
// some widths without saying so. Such files are refused rather than shown
// garbled: the file must hold every row its header promises, stay under the
// pixel limit and not be run-length encoded.
bool fltkReadsItRight(const std::filesystem::path& path) {
    auto file = ByteReader::open(path, nullptr);
    BmpFacts facts;
    return file && bmpDataInsideFile(*file, &facts) && facts.pixels <= kMaxBitmapPixels && !facts.runLengthEncoded();
}
}  // namespace

std::optional<Bitmap> loadBmpFile(const std::filesystem::path& path) {
    if (!fltkReadsItRight(path)) return std::nullopt;
    Fl_BMP_Image image(path.string().c_str());
    if (image.fail() || image.count() < 1 || !image.data() || !image.data()[0]) return std::nullopt;
    return bottomUpBgr(reinterpret_cast<const unsigned char*>(image.data()[0]), image.w(), image.h(), image.d(),
                       image.ld());
}

}  // namespace kelvane::platform::fltk
