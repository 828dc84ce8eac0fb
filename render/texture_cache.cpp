#include "render/texture_cache.h"

namespace kelvane {

namespace {

// More than a frame ever draws with (the chosen image and one per object).
constexpr std::size_t kMaxTextures = kSceneSlots + 4;

bool sameImage(const ShownImage& a, const ShownImage& b) {
    return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

void upload(const ShownImage& image) {
    glTexImage2D(GL_TEXTURE_2D, 0, 4, static_cast<GLsizei>(image.width), static_cast<GLsizei>(image.height), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, image.pixels);
}

}  // namespace

TextureCache::Entry& TextureCache::entryFor(const FrameImage& image) {
    for (Entry& entry : entries_)
        if (entry.revision == image.revision && sameImage(entry.image, image.image)) return entry;
    // A new image takes a fresh texture, or the one used longest ago.
    Entry* slot = nullptr;
    if (entries_.size() < kMaxTextures) {
        slot = &entries_.emplace_back();
        glGenTextures(1, &slot->name);
    } else {
        slot = &entries_.front();
        for (Entry& entry : entries_)
            if (entry.lastUse < slot->lastUse) slot = &entry;
    }
    glBindTexture(GL_TEXTURE_2D, slot->name);
    upload(image.image);
    slot->revision = image.revision;
    slot->image = image.image;
    return *slot;
}

void TextureCache::bind(const FrameImage& image, GLint filter) {
    const ShownImage& shown = image.image;
    if (shown.pixels == nullptr || shown.width == 0 || shown.height == 0) {
        glDisable(GL_TEXTURE_2D);
        return;
    }
    glEnable(GL_TEXTURE_2D);
    if (image.revision == 0) {
        // Nothing says these pixels were seen before: into the default
        // texture, afresh.
        glBindTexture(GL_TEXTURE_2D, 0);
        upload(shown);
    } else {
        Entry& entry = entryFor(image);
        entry.lastUse = ++uses_;
        glBindTexture(GL_TEXTURE_2D, entry.name);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
}

void TextureCache::bindChecker() {
    glEnable(GL_TEXTURE_2D);
    if (checker_ == 0) {
        // Two mid greys, far enough apart to see, near enough that no image
        // colour is lost against them.
        const std::uint8_t dark = 0x66, light = 0x99;
        const std::uint8_t texels[16] = {dark, dark, dark, 255, light, light, light, 255,
                                         light, light, light, 255, dark, dark, dark, 255};
        glGenTextures(1, &checker_);
        glBindTexture(GL_TEXTURE_2D, checker_);
        glTexImage2D(GL_TEXTURE_2D, 0, 4, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    }
    glBindTexture(GL_TEXTURE_2D, checker_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
}

}  // namespace kelvane
