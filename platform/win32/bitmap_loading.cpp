#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/bmp_rows.h"
#include "platform/bmp_header.h"
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

// A DIB section made from the file's own headers and colour table, holding
// its pixels with the last row's missing padding added: the picture as it
// would be had its writer not left the padding off.
HBITMAP paddedSection(ByteReader& file, const BmpLayout& layout) {
    const std::span<const std::uint8_t> bytes = file.bytes();
    // Info header, masks and colour table, kept 4-byte aligned for GDI.
    std::vector<std::uint32_t> info((static_cast<std::size_t>(layout.pixelOffset) - 14 + 3) / 4);
    std::memcpy(info.data(), bytes.data() + 14, static_cast<std::size_t>(layout.pixelOffset) - 14);
    // Above 8 bits a counted table may reach into the pixels: GDI gets none.
    if (layout.bitsPerPixel > 8 && layout.infoHeaderSize >= sizeof(BITMAPINFOHEADER))
        reinterpret_cast<BITMAPINFOHEADER*>(info.data())->biClrUsed = 0;
    void* bits = nullptr;
    MemoryDc dc;
    HBITMAP section = CreateDIBSection(dc.handle, reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS,
                                       &bits, nullptr, 0);
    // The section starts zeroed, so the missing padding reads as 0; the
    // file holds less than the section, as the check found.
    if (section && bits)
        std::memcpy(bits, bytes.data() + layout.pixelOffset,
                    bytes.size() - static_cast<std::size_t>(layout.pixelOffset));
    return section;
}
}  // namespace

Result<Bitmap> loadBitmapFile(const std::filesystem::path& path) {
    auto file = ByteReader::open(path);
    if (!file) return file.problem();
    // GDI sees only files the shared check accepts, the same ones the Linux
    // build decodes.
    const BmpCheck check = checkBmp(*file);
    if (!check.verdict) return check.verdict.problem();

    BitmapHandle bitmap{static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), path.c_str(), IMAGE_BITMAP, 0, 0,
                                                        LR_LOADFROMFILE | LR_CREATEDIBSECTION))};
    // LoadImageW refuses a file whose last row lacks its padding.
    if (!bitmap.handle && check.layout.lastRowUnpadded) bitmap.handle = paddedSection(*file, check.layout);
    if (!bitmap.handle) return lastError("Windows could not load the picture");

    DIBSECTION section{};
    if (GetObjectW(bitmap.handle, sizeof(section), &section) != sizeof(section))
        return failure("Windows could not describe the picture");
    const std::int64_t width = section.dsBm.bmWidth;
    // A top-down section has a negative height in its header.
    const std::int64_t height = std::llabs(static_cast<long long>(section.dsBm.bmHeight));
    if (width != check.layout.width || height != check.layout.height)
        return failure("Windows loaded the picture at another size");

    // GDI converts any depth (palette, 16 bits with or without bit fields,
    // 32 bits, top-down) to the bottom-up 24-bit rows asked for here.
    BITMAPINFO wanted{};
    wanted.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    wanted.bmiHeader.biWidth = static_cast<LONG>(width);
    wanted.bmiHeader.biHeight = static_cast<LONG>(height);
    wanted.bmiHeader.biPlanes = 1;
    wanted.bmiHeader.biBitCount = 24;
    wanted.bmiHeader.biCompression = BI_RGB;

    const std::size_t stride = bmpRowStride24(width);
    Bitmap result;
    result.width = static_cast<std::uint32_t>(width);
    result.height = static_cast<std::uint32_t>(height);
    result.bottomUpBgrRows.assign(stride * static_cast<std::size_t>(height), 0);

    MemoryDc dc;
    if (!dc.handle) return failure("no memory device context");
    const int rows = GetDIBits(dc.handle, bitmap.handle, 0, static_cast<UINT>(height), result.bottomUpBgrRows.data(),
                               &wanted, DIB_RGB_COLORS);
    if (rows != height) return failure("Windows could not convert the picture to 24 bits");
    return result;
}

}  // namespace kelvane::platform::win32
