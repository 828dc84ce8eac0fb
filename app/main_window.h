#pragma once

#include <cstdint>

#include "app/command_line.h"
#include "app/view_control.h"
#include "app/viewer.h"
#include "platform/platform.h"

namespace kelvane {

// The main window's procedure: one handler per message.
std::intptr_t mainWindowProc(Viewer& viewer, platform::Window& window, std::uint32_t message,
                             std::uintptr_t wParam, std::intptr_t lParam);

// What the mouse messages carry, unpacked where they are routed: a move's
// left button and signed client position, a wheel's signed delta.
MouseSample mouseSample(std::uintptr_t wParam, std::intptr_t lParam);
int wheelDelta(std::uintptr_t wParam);

// Start-up, the frame loop and the end of the run. Returns the process exit
// status: 0 after a normal end, non-zero (with a one-line reason on standard
// error) when the window or its GL context cannot be made.
// The files in `options` open in order once the window is shown, before the
// first frame.
int runViewer(platform::Platform& platform, Generation generation, const ViewerOptions& options = {});

}  // namespace kelvane
