#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace kelvane::platform::win32 {

// The messages the app's window procedure handles; every other message gets
// the system's default handling (DefWindowProcW) without reaching the app.
constexpr bool isAppMessage(std::uint32_t message) {
    switch (message) {
        case msg::Create:
        case msg::Destroy:
        case msg::Size:
        case msg::Close:
        case msg::KeyDown:
        case msg::Command:
        case msg::MenuSelect:
        case msg::MouseMove:
        case msg::MouseWheel:
        case msg::ExitMenuLoop:
            return true;
        default:
            return false;
    }
}

}  // namespace kelvane::platform::win32
