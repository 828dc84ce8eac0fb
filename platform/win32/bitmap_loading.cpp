#include <windows.h>

#include <cstdint>
#include <cstdlib>

#include "platform/bmp_extent.h"
#include "platform/win32/win32_window.h"

namespace kelvane::platform::win32 {

namespace {
struct BitmapHandle {
    HBITMAP handle;
    ~BitmapHandle() {
        if (handle) DeleteObject(handle);
    }
};
struct MemoryDc {
    HDC handle = CreateCompatibleDC(nullptr);
    ~MemoryDc() {
        if (handle) DeleteDC(handle);
    }
};
}  // namespace

std::optional<Bitmap> loadBitmapFile(const std::filesystem::path& path) {
    auto file = ByteReader::open(path, nullptr);
    // Larger pictures are refused before any buffer is sized from them; the
    // viewer takes at most 1024 x 1024 anyway.
    BmpFacts facts;
    if (!file || !bmpDataInsideFile(*file, &facts) || facts.pixels > kMaxBitmapPixels) return std::nullopt;

    BitmapHandle bitmap{static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), path.c_str(), IMAGE_BITMAP, 0, 0,
                                                        LR_LOADFROMFILE | LR_CREATEDIBSECTION))};
    if (!bitmap.handle) return std::nullopt;

    DIBSECTION section{};
    if (GetObjectW(bitmap.handle, sizeof(section), &section) != sizeof(section)) return std::nullopt;
    const std::int64_t width = section.dsBm.bmWidth;
    // A top-down section has a negative height in its header.
    const std::int64_t height = std::llabs(static_cast<long long>(section.dsBm.bmHeight));
    if (width <= 0 || height <= 0) return std::nullopt;
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxBitmapPixels) return std::nullopt;

    // GDI converts any depth (palette, 16 bits with or without bit fields,
    // 32 bits, top-down) to the bottom-up 24-bit rows asked for here.
    BITMAPINFO wanted{};
    wanted.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    wanted.bmiHeader.biWidth = static_cast<LONG>(width);
    wanted.bmiHeader.biHeight = static_cast<LONG>(height);
    wanted.bmiHeader.biPlanes = 1;
    wanted.bmiHeader.biBitCount = 24;
    wanted.bmiHeader.biCompression = BI_RGB;

    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    Bitmap result;
    result.width = static_cast<std::uint32_t>(width);
    result.height = static_cast<std::uint32_t>(height);
    result.bottomUpBgrRows.assign(stride * static_cast<std::size_t>(height), 0);

    MemoryDc dc;
    if (!dc.handle) return std::nullopt;
    const int rows = GetDIBits(dc.handle, bitmap.handle, 0, static_cast<UINT>(height), result.bottomUpBgrRows.data(),
                               &wanted, DIB_RGB_COLORS);
    if (rows != height) return std::nullopt;
    return result;
}

}  // namespace kelvane::platform::win32
