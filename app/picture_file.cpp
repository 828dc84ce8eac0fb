#include "app/picture_file.h"

#include "common/bmp_rows.h"
#include "platform/bmp_header.h"

namespace kelvane {

namespace {

bool isBmp(const std::filesystem::path& path) {
    const std::u8string extension = path.extension().u8string();
    return extension.size() == 4 && (extension[1] | 0x20) == 'b' && (extension[2] | 0x20) == 'm' &&
           (extension[3] | 0x20) == 'p';
}

}  // namespace

Result<Picture> readPicture(const Viewer& viewer, const std::filesystem::path& path) {
    if (!isBmp(path)) {
        auto picture = platform::loadRgbaPictureFile(path);
        if (!picture) return picture.problem();
        return Picture(std::move(*picture));
    }
    auto bitmap = viewer.platform.loadBitmap(path);
    if (!bitmap) return bitmap.problem();
    if (std::uint64_t{bmpRowStride24(bitmap->width)} * bitmap->height > bitmap->bottomUpBgrRows.size())
        return failure("not a readable BMP picture");
    return Picture(std::move(*bitmap));
}

Outcome importableSize(const Picture& picture) {
    return std::visit([](const auto& p) { return platform::importableSize(p.width, p.height); }, picture);
}

void importPicture(TextureStore& store, const Picture& picture) {
    if (const auto* bitmap = std::get_if<platform::Bitmap>(&picture)) {
        store.importPixels(bitmap->width, bitmap->height, bitmap->bottomUpBgrRows);
    } else {
        const auto& rgba = std::get<platform::RgbaPicture>(picture);
        store.importRgba(rgba.width, rgba.height, rgba.rgba);
    }
}

}  // namespace kelvane
