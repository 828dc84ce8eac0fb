#pragma once

#include <filesystem>

#include "app/view_state.h"
#include "common/generation.h"
#include "model/scene.h"
#include "platform/platform.h"
#include "textures/texture_store.h"

namespace kelvane {

// Everything one viewer process holds for its whole run. The texture store
// (with its pixel buffer) is made before the window exists.
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
};

inline const char* windowTitle(Generation generation) {
    return generation == Generation::Legacy ? "Kelvane v0.6" : "Kelvane v0.7";
}

}  // namespace kelvane
