#pragma once

// A viewer wired to the fake platform, with helpers to read the menu the
// user would see and to put files and store contents in place.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/viewer.h"
#include "platform/fake/fake_platform.h"

namespace kelvane::apptest {

class ViewerHarness {
public:
    explicit ViewerHarness(Generation generation);

    platform::fake::FakePlatform platform;
    platform::fake::FakeWindow window{platform, "test window"};
    Viewer viewer;

    // Runs a command as the window procedure would.
    std::intptr_t command(int id);
    // Runs a load command whose dialog answers `path`.
    std::intptr_t load(int id, const std::filesystem::path& path);

    // The menu bar last handed to the window.
    const platform::MenuBar& shown() const { return platform.shownMenuBar(); }
    std::vector<std::string> menuTitles() const;
    // The drop-down of that title in the shown bar, if there is one.
    std::optional<platform::Menu> menu(const std::string& title) const;
    std::vector<std::string> labels(const std::string& title) const;
    // The checked items' ids of that drop-down.
    std::vector<int> checkedIds(const std::string& title) const;
};

// A model as a load would leave it: `count` objects named "SCRATCH"
// (what a file that gives no names yields), object 0 visible.
void presetModel(Scene& scene, int count, bool withNormals);

// Writes a small well-formed FSH archive holding one image per name (an
// undecoded format code, so nothing depends on S3TC data), and puts the
// store in the state its reader leaves after reading it.
void writeArchive(const std::filesystem::path& path, const std::vector<std::string>& names, TextureStore& store);

// A 24-bit bottom-up picture of the given size, rows padded to 4 bytes.
platform::Bitmap makeBitmap(std::uint32_t width, std::uint32_t height);

// A fresh folder for one test's files.
std::filesystem::path scratchDir();

// True when `text` is well-formed UTF-8; `characters` receives its length
// in code points.
bool isUtf8(const std::string& text, std::size_t* characters = nullptr);

}  // namespace kelvane::apptest
