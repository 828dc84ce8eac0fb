#pragma once

// A viewer wired to the fake platform, with helpers to read the menu the
// user would see and to put files and store contents in place.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/viewer.h"
#include "platform/fake/fake_platform.h"

namespace kelvane::apptest {

using Labels = std::vector<std::string>;
using Ids = std::vector<int>;

struct ViewerHarness {
    explicit ViewerHarness(Generation generation);

    platform::fake::FakePlatform platform;
    platform::fake::FakeWindow window{platform, "test window"};
    Viewer viewer;

    // Runs a command as the window procedure would; `load` first scripts the
    // dialog to answer `path`.
    std::intptr_t command(int id);
    std::intptr_t load(int id, const std::filesystem::path& path);

    // The shown menu bar: its titles, one drop-down's labels and checked ids.
    Labels menuTitles() const;
    std::optional<platform::Menu> menu(const std::string& title) const;
    Labels labels(const std::string& title) const;
    Ids checkedIds(const std::string& title) const;
};

// panX, panY, zoom, fitDistance, step, pitch, yaw, anchorX, anchorY.
std::array<double, 9> fields(const ViewState& view);

// A model as a load leaves it: `count` objects named "SCRATCH", object 0 visible.
void presetModel(Scene& scene, int count, bool withNormals);

// Writes an FSH archive of 8 x 8 images in an undecoded format (so nothing
// depends on S3TC data) and puts the store in the state its reader leaves.
void writeArchive(const std::filesystem::path& path, const Labels& names, TextureStore& store);

// A 24-bit bottom-up picture, rows padded to 4 bytes.
platform::Bitmap makeBitmap(std::uint32_t width, std::uint32_t height);

// A fresh folder for the running test's files, removed with the next one.
std::filesystem::path scratchDir();

// True when `text` is well-formed UTF-8; `characters` receives its length in code points.
bool isUtf8(const std::string& text, std::size_t* characters = nullptr);

}  // namespace kelvane::apptest
