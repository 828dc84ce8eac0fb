#pragma once

#include <cstdint>
#include <vector>

#include "render/frame_images.h"
#include "render/gl.h"

namespace kelvane {

// GL texture objects for the images frames draw with, each uploaded once
// per revision of its pixels rather than on every frame. Needs the context
// current whenever it is used; the textures live as long as the context.
class TextureCache {
public:
    // Enables texturing and binds a texture holding `image`, with the given
    // filter for magnification and minification. An image without pixels
    // (0 x 0: "Blank") disables texturing instead, which draws the objects
    // plain white as an empty texture does. An image of revision 0 goes to
    // the default texture on every call.
    void bind(const FrameImage& image, GLint filter = GL_LINEAR);

    // A 2 x 2 checkerboard of two mid greys, repeating, nearest filtering.
    void bindChecker();

private:
    struct Entry {
        GLuint name = 0;
        std::uint64_t revision = 0;
        ShownImage image;
        std::uint64_t lastUse = 0;
    };
    Entry& entryFor(const FrameImage& image);

    std::vector<Entry> entries_;
    std::uint64_t uses_ = 0;
    GLuint checker_ = 0;
};

}  // namespace kelvane
