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

// File > Export glTF...: the model with its images as one binary glTF file
// (.glb) where the save dialog says (it proposes <model>.glb): every object,
// each with the image the model view draws it with (by name when that is on).
void exportGltf(Viewer& viewer);

}  // namespace kelvane
