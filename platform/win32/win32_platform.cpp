// Placeholder until the Win32 backend lands.
#include "platform/platform.h"

namespace kelvane::platform {
std::unique_ptr<Platform> createNativePlatform() { return nullptr; }
}  // namespace kelvane::platform
