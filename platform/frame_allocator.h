#pragma once

namespace kelvane::platform {

// Sets the C library's allocator for drawing frames, once at start-up and
// before any GL work. With glibc's default thresholds every allocation of
// 128 KiB or more is mapped afresh and unmapped on release, and the GL
// driver's per-frame vertex buffers then cost thousands of page faults a
// frame until some large release happens to raise the threshold. Elsewhere
// it does nothing.
void setUpAllocatorForFrames();

}  // namespace kelvane::platform
