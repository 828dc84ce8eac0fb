#include "app_test_support.h"

#include <gtest/gtest.h>

#include "app/commands.h"
#include "tests/support/temp_dir.h"
#include "common/bmp_rows.h"
#include "writers/file_writer.h"
#include "writers/fsh_writer.h"

namespace kelvane::apptest {

ViewerHarness::ViewerHarness(Generation generation) : viewer(generation, platform) { viewer.window = &window; }

std::intptr_t ViewerHarness::command(int id) { return handleCommand(viewer, static_cast<std::uintptr_t>(id)); }

std::intptr_t ViewerHarness::load(int id, const std::filesystem::path& path) {
    platform.dialogAnswers.push_back(path);
    return command(id);
}

Labels ViewerHarness::menuTitles() const {
    Labels titles;
    for (const auto& m : platform.shownMenuBar().menus) titles.push_back(m.title);
    return titles;
}

std::optional<platform::Menu> ViewerHarness::menu(const std::string& title) const {
    for (const auto& m : platform.shownMenuBar().menus)
        if (m.title == title) return m;
    return std::nullopt;
}

Labels ViewerHarness::labels(const std::string& title) const {
    Labels out;
    for (const auto& item : menu(title).value_or(platform::Menu{}).items) out.push_back(item.label);
    return out;
}

Ids ViewerHarness::checkedIds(const std::string& title) const {
    Ids out;
    for (const auto& item : menu(title).value_or(platform::Menu{}).items)
        if (item.checked) out.push_back(item.id);
    return out;
}

std::array<double, 9> fields(const ViewState& v) {
    return {v.panX, v.panY, v.zoom, v.fitDistance, v.step, v.pitch, v.yaw, v.anchorX, v.anchorY};
}

void presetModel(Scene& scene, int count, bool withNormals) {
    scene.objectCount = count;
    for (int i = 0; i < kSceneSlots; ++i) {
        scene.names[i] = "SCRATCH";
        scene.visible[i] = i == 0;
        scene.hasNormals[i] = withNormals && i < count;
    }
    scene.normalsPresent = scene.lightingOn = withNormals;
}

void writeArchive(const std::filesystem::path& path, const Labels& names, TextureStore& store) {
    constexpr std::uint16_t kUndecodedFormat = 0x7D;
    constexpr std::uint32_t kSide = 8;
    writers::FshArchive archive;
    for (const auto& name : names) archive.images.push_back({name, kUndecodedFormat, kSide, kSide, {}, {}, {}});
    writers::writeFile(path, writers::buildFsh(archive));

    // One slot per image, none marked, and in the current generation a 0 x 0 blank slot.
    const auto count = static_cast<std::uint32_t>(names.size());
    store.slotCount = count;
    store.currentSlot = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        store.name[i] = names[i];
        store.width[i] = store.height[i] = kSide;
        store.formatCode[i] = kUndecodedFormat;
        store.checked[i] = 0;
        store.imageData[i].clear();
    }
    if (store.generation == Generation::Current && count < kTextureSlots)
        store.width[count] = store.height[count] = store.formatCode[count] = 0;
}

platform::Bitmap makeBitmap(std::uint32_t width, std::uint32_t height) {
    const std::size_t stride = bmpRowStride24(width);
    platform::Bitmap bitmap{width, height, std::vector<std::uint8_t>(stride * height)};
    for (std::size_t i = 0; i < bitmap.bottomUpBgrRows.size(); ++i)
        bitmap.bottomUpBgrRows[i] = static_cast<std::uint8_t>(i * 7 + 1);
    return bitmap;
}

std::filesystem::path scratchDir() {
    static std::optional<test::TempDir> dir;
    dir.emplace();  // the previous test's folder goes
    return dir->path;
}

bool isUtf8(const std::string& text, std::size_t* characters) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    if (characters) *characters = count;
    return true;
}

}  // namespace kelvane::apptest
