#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "app/file_follower.h"
#include "app/texture_view_control.h"
#include "app/view_state.h"
#include "common/generation.h"
#include "model/scene.h"
#include "platform/platform.h"
#include "render/texture_cache.h"
#include "render/uv_layout.h"
#include "textures/slot_images.h"
#include "textures/texture_store.h"

namespace kelvane {

// The View menu's choices. All off, the viewer draws exactly the designed
// picture with the designed controls.
struct ViewModes {
    bool byName = false;       // each object with the archive image of its name
    bool textureView = false;  // the chosen image flat instead of the model
    bool uvLayout = false;     // in the texture view, the triangles that use the image
    bool wireframe = false;    // in the model view, every triangle's edges
};

// The UV layout last worked out for the texture view, and what it was
// worked out from: it is worked out again only when one of these changes.
struct UvLayoutCache {
    std::uint64_t sceneRevision = 0, texturesRevision = 0;
    std::uint32_t shownSlot = 0;
    std::array<std::uint8_t, kSceneSlots> visible{};
    std::array<int, kSceneSlots> slotOf{};
    bool valid = false;
    std::vector<UvTriangle> triangles;
};

// Everything one viewer process holds for its whole run. The first texture
// store (with its pixel buffer) is made before the window exists; a reload
// puts a fresh model or texture store in place of the one shown.
struct Viewer {
    explicit Viewer(Generation g, platform::Platform& p)
        : generation(g), textures(g), view(initialViewState(g)), platform(p), shownTitle(traits(g).windowTitle) {}

    Generation generation;
    Scene scene;
    TextureStore textures;
    ViewState view;
    ViewModes modes;
    TextureViewState textureView;
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

    // What drawing keeps between frames: the archive images decoded one by
    // one (by-name), the textures uploaded, the client area's size.
    SlotImages slotImages;
    TextureCache textureCache;
    UvLayoutCache uvLayout;
    int clientWidth = 0;
    int clientHeight = 0;
    std::string shownTitle;  // the title last given to the window
};

inline const char* windowTitle(Generation generation) { return traits(generation).windowTitle; }
inline const char* programName(Generation generation) { return traits(generation).programName; }

}  // namespace kelvane
