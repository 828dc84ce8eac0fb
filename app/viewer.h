#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "app/file_follower.h"
#include "app/view_state.h"
#include "common/generation.h"
#include "model/scene.h"
#include "platform/platform.h"
#include "textures/texture_store.h"

namespace kelvane {

// Everything one viewer process holds for its whole run. The first texture
// store (with its pixel buffer) is made before the window exists; a reload
// puts a fresh model or texture store in place of the one shown.
struct Viewer {
    explicit Viewer(Generation g, platform::Platform& p)
        : generation(g), textures(g), view(initialViewState(g)), platform(p) {}

    Generation generation;
    Scene scene;
    TextureStore textures;
    ViewState view;
    platform::Platform& platform;
    platform::Window* window = nullptr;

    // Menus and commands.
    bool menuRebuildPending = false;
    std::filesystem::path pathBuffer;  // shared by the three open-file dialogs, never cleared

    // The files the stores were last loaded from (the texture one an FSH
    // archive or a BMP picture), named in the window title and followed.
    std::optional<std::filesystem::path> modelFile;
    std::optional<std::filesystem::path> textureFile;
    // "head.ebo: why it failed", from the last load until the next one.
    std::string loadFailure;
    FileFollower follower;

    // Set by whatever can change the picture; the frame loop draws once and
    // clears it, and waits while it is clear.
    bool frameNeeded = true;
};

inline const char* windowTitle(Generation generation) { return traits(generation).windowTitle; }
inline const char* programName(Generation generation) { return traits(generation).programName; }

}  // namespace kelvane
