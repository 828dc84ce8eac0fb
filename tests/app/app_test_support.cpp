#include "app_test_support.h"

#include <gtest/gtest.h>

#include <fstream>

#include "app/commands.h"
#include "app/menus.h"

namespace kelvane::apptest {

ViewerHarness::ViewerHarness(Generation generation) : viewer(generation, platform) { viewer.window = &window; }

std::intptr_t ViewerHarness::command(int id) { return handleCommand(viewer, static_cast<std::uintptr_t>(id)); }

std::intptr_t ViewerHarness::load(int id, const std::filesystem::path& path) {
    platform.dialogAnswers.push_back(path);
    return command(id);
}

std::vector<std::string> ViewerHarness::menuTitles() const {
    std::vector<std::string> titles;
    for (const auto& m : shown().menus) titles.push_back(m.title);
    return titles;
}

std::optional<platform::Menu> ViewerHarness::menu(const std::string& title) const {
    for (const auto& m : shown().menus)
        if (m.title == title) return m;
    return std::nullopt;
}

std::vector<std::string> ViewerHarness::labels(const std::string& title) const {
    std::vector<std::string> out;
    if (auto m = menu(title))
        for (const auto& item : m->items) out.push_back(item.label);
    return out;
}

std::vector<int> ViewerHarness::checkedIds(const std::string& title) const {
    std::vector<int> out;
    if (auto m = menu(title))
        for (const auto& item : m->items)
            if (item.checked) out.push_back(item.id);
    return out;
}

void presetModel(Scene& scene, int count, bool withNormals) {
    scene.objectCount = count;
    for (int i = 0; i < kSceneSlots; ++i) {
        scene.names[i] = "SCRATCH";
        scene.visible[i] = i == 0;
        scene.hasNormals[i] = withNormals && i < count;
    }
    scene.normalsPresent = withNormals;
    scene.lightingOn = withNormals;
}

namespace {
void putBe32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}
void putLe32(std::string& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((v >> shift) & 0xFF);
}
constexpr std::int32_t kUndecodedFormat = 0x7D;
constexpr std::uint32_t kImageSide = 8;
}  // namespace

void writeArchive(const std::filesystem::path& path, const std::vector<std::string>& names, TextureStore& store) {
    const auto count = static_cast<std::uint32_t>(names.size());
    std::string directory;
    std::uint32_t directorySize = 0;
    for (const auto& name : names) directorySize += 8 + static_cast<std::uint32_t>(name.size()) + 1;
    std::string records;
    for (std::uint32_t i = 0; i < count; ++i) {
        putBe32(directory, 16 + directorySize + 32 * i);
        putBe32(directory, 0);
        directory += names[i];
        directory += '\0';
        std::string record;
        record += static_cast<char>(kUndecodedFormat);
        record += '\0';
        record.append(10, '\0');
        putLe32(record, 0);  // data size
        record.append(8, '\0');
        putLe32(record, kImageSide);
        putLe32(record, kImageSide);
        records += record;
    }
    std::string file = "SHPI";
    putLe32(file, 16 + directorySize + 32 * count);
    putBe32(file, count);
    file += "G264";
    std::ofstream(path, std::ios::binary) << file << directory << records;

    // What the reader leaves: one slot per image, none marked (nothing
    // decodable), and in the current generation a 0 x 0 blank slot.
    store.slotCount = count;
    store.currentSlot = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        store.name[i] = names[i];
        store.width[i] = store.height[i] = kImageSide;
        store.formatCode[i] = kUndecodedFormat;
        store.checked[i] = 0;
        store.imageData[i].clear();
    }
    if (store.generation == Generation::Current && count < kTextureSlots)
        store.width[count] = store.height[count] = store.formatCode[count] = 0;
}

platform::Bitmap makeBitmap(std::uint32_t width, std::uint32_t height) {
    platform::Bitmap bitmap{width, height, {}};
    const std::size_t stride = (std::size_t{width} * 3 + 3) & ~std::size_t{3};
    bitmap.bottomUpBgrRows.resize(stride * height);
    for (std::size_t i = 0; i < bitmap.bottomUpBgrRows.size(); ++i)
        bitmap.bottomUpBgrRows[i] = static_cast<std::uint8_t>(i * 7 + 1);
    return bitmap;
}

std::filesystem::path scratchDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    auto dir = std::filesystem::path(::testing::TempDir()) / "kelvane_app" /
               (std::string(info->test_suite_name()) + "." + info->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
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
