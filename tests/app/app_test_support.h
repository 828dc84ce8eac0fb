#pragma once

// A viewer wired to the fake platform, with helpers to read the menu the
// user would see and to put files and store contents in place.

#include <array>
#include <optional>

#include "app/commands.h"
#include "common/bmp_rows.h"
#include "platform/fake/fake_platform.h"
#include "tests/support/temp_dir.h"
#include "writers/file_writer.h"
#include "writers/fsh_writer.h"

namespace kelvane::apptest {

using Labels = std::vector<std::string>;
using Ids = std::vector<int>;
using View = std::array<double, 9>;  // panX, panY, zoom, fitDistance, step, pitch, yaw, anchorX, anchorY

inline View fields(const ViewState& v) {
    const FramePose& p = v.pose;
    return {p.panX, p.panY, p.zoom, p.fitDistance, v.step, p.pitch, p.yaw, v.anchorX, v.anchorY};
}
constexpr View kTurned{3, -4, 7, 9, 0.9, 30, -60, 11, 12};
inline void turn(ViewState& v) {
    v = {.pose = {.panX = 3, .panY = -4, .zoom = 7, .pitch = 30, .yaw = -60, .fitDistance = 9},
         .step = 0.9, .anchorX = 11, .anchorY = 12};
}

struct ViewerHarness {
    explicit ViewerHarness(Generation generation) : viewer(generation, platform) { viewer.window = &window; }

    platform::fake::FakePlatform platform;
    platform::fake::FakeWindow window{platform, "test window"};
    Viewer viewer;

    // Runs a command as the window procedure would; `load` first scripts the dialog to answer `path`.
    std::intptr_t command(int id) { return handleCommand(viewer, static_cast<std::uintptr_t>(id)); }
    std::intptr_t load(int id, const std::filesystem::path& path) {
        platform.dialogAnswers.push_back(path);
        return command(id);
    }
    // The items of the shown drop-down titled `title` (none when absent), and the ids of those checked.
    std::vector<platform::MenuItem> items(const std::string& title) const {
        for (const auto& m : platform.shownMenuBar().menus)
            if (m.title == title) return m.items;
        return {};
    }
    Ids checkedIds(const std::string& title) const {
        Ids out;
        for (const auto& item : items(title))
            if (item.checked) out.push_back(item.id);
        return out;
    }
};

// A model as a load leaves it: `count` objects named "SCRATCH", object 0 visible.
inline void presetModel(Scene& scene, int count, bool withNormals) {
    scene.objectCount = count;
    scene.names.fill("SCRATCH");
    scene.visible = {1};
    for (int i = 0; i < kSceneSlots; ++i) scene.hasNormals[i] = withNormals && i < count;
    scene.normalsPresent = scene.lightingOn = withNormals;
}

// Writes an FSH archive of 8 x 8 images in an undecoded format, so nothing depends on S3TC data.
inline void writeArchive(const std::filesystem::path& path, const Labels& names) {
    writers::FshArchive archive;
    for (const auto& name : names) archive.images.push_back({name, 0x7D, 8, 8, {}, {}, {}});
    writers::writeFile(path, writers::buildFsh(archive));
}

// A 24-bit bottom-up picture, rows padded to 4 bytes.
inline platform::Bitmap makeBitmap(std::uint32_t width, std::uint32_t height) {
    return {width, height, std::vector<std::uint8_t>(bmpRowStride24(width) * height, 0x80)};
}

// A fresh folder for the running test's files, removed with the next one.
inline std::filesystem::path scratchDir() {
    static std::optional<test::TempDir> dir;
    return dir.emplace().path;
}

}  // namespace kelvane::apptest
