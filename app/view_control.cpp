#include "app/view_control.h"

#include <cmath>

#include "platform/platform.h"

namespace kelvane {

namespace {

// A generation that fits nothing (the earlier one) moves by a constant
// instead of a tenth of the fit.
double stepOf(const ViewState& view, Generation generation) {
    const GenerationTraits& t = traits(generation);
    return t.fitsView ? view.step : t.fixedStep;
}

// Moves of one pixel or less never turn the model. Moving the mouse right
// (negative delta) raises the angle.
void turn(double& angle, double delta) {
    if (delta > 1)
        angle -= std::fabs(delta);
    else if (delta < -1)
        angle += std::fabs(delta);
    // Past either end the angle jumps to the other end: 181 becomes -180.
    if (angle > 180)
        angle = -180;
    else if (angle < -180)
        angle = 180;
}

}  // namespace

void onKeyDown(ViewState& view, Generation generation, std::uintptr_t virtualKey) {
    const double step = stepOf(view, generation);
    // The keys move the point of view, so LEFT shifts the picture right.
    switch (virtualKey) {
        case platform::vk::Home:
            view.pose.panX = 0;
            view.pose.panY = 0;
            break;
        case platform::vk::Left:
            view.pose.panX += step;
            break;
        case platform::vk::Up:
            view.pose.panY -= step;
            break;
        case platform::vk::Right:
            view.pose.panX -= step;
            break;
        case platform::vk::Down:
            view.pose.panY += step;
            break;
        default:
            break;
    }
}

void onMouseWheel(ViewState& view, Generation generation, int delta) {
    // Only the sign counts; a delta of 0 moves away like a negative one.
    if (delta > 0)
        view.pose.zoom += stepOf(view, generation);
    else
        view.pose.zoom -= stepOf(view, generation);
}

bool onMouseMove(ViewState& view, const MouseSample& sample) {
    if (!sample.leftButton) {
        view.anchorX = view.anchorY = 0;
        return false;
    }
    const double x = sample.x, y = sample.y;
    if (x == view.anchorX && y == view.anchorY) return false;

    // An anchor of (0, 0) means no drag yet: this sample starts one.
    if (view.anchorX == 0 && view.anchorY == 0) {
        view.anchorX = x;
        view.anchorY = y;
    }
    const double dx = view.anchorX - x;
    const double dy = view.anchorY - y;
    view.anchorX = x;
    view.anchorY = y;

    turn(view.pose.pitch, dy);  // pitch is settled before yaw
    turn(view.pose.yaw, dx);
    return true;
}

}  // namespace kelvane
