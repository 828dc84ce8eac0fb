#pragma once

#include <functional>

#include "app/view_state.h"
#include "common/generation.h"
#include "model/scene.h"
#include "textures/texture_store.h"

namespace kelvane {

// Uploads the shown image to GL's default texture, fits the view to the
// visible objects (writes fitDistance and step; the earlier generation
// writes neither) and sends every visible object in immediate mode. Needs a
// current context in GL_MODELVIEW mode with the model-view matrix set.
//
// Vertices whose index lies past the end of an array the vertex reads are
// skipped (in the earlier generation's triangle lists, the whole triangle),
// so a malformed scene draws what it can and never reads outside an array.
void drawScene(Generation generation, const Scene& scene, const ShownImage& image, ViewState& view);
// The same with the store's shown image. An image larger than the store's
// pixel buffer is drawn as no image at all.
void drawScene(Generation generation, const Scene& scene, const TextureStore& textures, ViewState& view);

// One whole frame without the buffer swap: clear, model-view matrix from the
// view state, drawScene.
void drawFrame(Generation generation, const Scene& scene, const ShownImage& image, ViewState& view);
void drawFrame(Generation generation, const Scene& scene, const TextureStore& textures, ViewState& view);

// drawFrame, then the swap that shows it.
void renderFrame(Generation generation, const Scene& scene, const TextureStore& textures, ViewState& view,
                 const std::function<void()>& swapBuffers);

}  // namespace kelvane
