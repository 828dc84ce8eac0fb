#pragma once

#include "app/viewer.h"

namespace kelvane {

// File > Save Picture...: a PNG of exactly what the window shows (either
// view, at the client area's size), written whole or not at all, where the
// save dialog says (it proposes <model>.png beside the model).
void savePicture(Viewer& viewer);

// File > Export Images...: every decodable archive image as NN-name.png
// (RGBA, alpha kept) in the folder chosen, or the picture in use as one PNG.
void exportImages(Viewer& viewer);

}  // namespace kelvane
