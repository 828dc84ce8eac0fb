#pragma once

#include <string>

#include "app/viewer.h"
#include "render/frame_images.h"

namespace kelvane {

// What each object is drawn with: its own archive image under "Images by
// Object Name", else the chosen image.
SceneImages viewerImages(Viewer& viewer);

// Draws one frame of what the viewer shows (the model where the view places
// it, or the texture view) and keeps its fit; the caller swaps. A model
// frame is placed by the fit the previous frame found, so when this one
// found another (a load, a reload, objects shown or hidden) the picture is
// not yet the settled one: returns true, and the caller draws the next
// frame at once.
bool drawViewerFrame(Viewer& viewer);

// The image the texture view shows, as the title names it:
// "head DXT1 256x256 at 2x", "picture.png PNG 64x32 at 1/2x", "Blank".
std::string textureViewCaption(const Viewer& viewer);

}  // namespace kelvane
