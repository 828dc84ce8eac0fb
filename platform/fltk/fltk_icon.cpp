#include "platform/fltk/fltk_icon.h"

#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Window.H>

#include <memory>
#include <vector>

#include "kelvane_icon_pixels.h"  // written at build time from the drawn icon (packaging/)

namespace kelvane::platform::fltk {

void useProgramIcon() {
    std::vector<std::unique_ptr<Fl_RGB_Image>> images;
    std::vector<const Fl_RGB_Image*> sizes;
    for (const icon::Pixels& pixels : icon::kSizes) {
        images.push_back(std::make_unique<Fl_RGB_Image>(pixels.rgba, pixels.size, pixels.size, 4));
        sizes.push_back(images.back().get());
    }
    // FLTK turns the images into the window property here and keeps no
    // pointer to them.
    Fl_Window::default_icons(sizes.data(), static_cast<int>(sizes.size()));
}

}  // namespace kelvane::platform::fltk
