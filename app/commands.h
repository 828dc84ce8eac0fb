#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/file_kind.h"
#include "app/viewer.h"

namespace kelvane {

// Handles a menu command (id in the low 16 bits of wParam). Returns the
// window procedure's result: 1, or 0 when "Load BMP" cannot load the
// chosen picture.
std::intptr_t handleCommand(Viewer& viewer, std::uintptr_t wParam);

// Opens a file named on the command line or dropped on the window as its
// load command does ("Load EBO" for .ebo, and so on, in any case) with the
// file in place of the dialog's answer. False, doing nothing, for any other
// kind of file.
bool openFile(Viewer& viewer, const std::filesystem::path& path);

// Opens files named together (on the command line, in one drop) in order,
// as openFile does. When they hold a model but no texture, the FSH archive
// of the same name beside the last model opens after them, if there is one.
void openFiles(Viewer& viewer, const std::vector<std::filesystem::path>& paths);

// Shows or hides every object, as "Select All" and "Deselect All" do.
void setAllVisible(Scene& scene, std::uint8_t visible);

// Turns one of the View menu's choices on or off (a View command id); false
// for any other id.
bool toggleViewMode(Viewer& viewer, int id);

// The View command a key stands for, or 0.
int viewCommandOfKey(std::uintptr_t virtualKey);

// Marks slot 0 alone among the archive's images and (current generation)
// the blank slot: what an archive load or a picture import shows.
void checkFirstSlotOnly(TextureStore& store);

}  // namespace kelvane
