#include "platform/frame_allocator.h"

#include <cstdlib>  // defines __GLIBC__ where the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kelvane::platform {

void setUpAllocatorForFrames() {
#if defined(__GLIBC__)
    // The largest threshold glibc accepts (32 MiB on 64-bit systems), and
    // the trim threshold its own dynamic rule would pair with it, so freed
    // buffers stay in the heap for the next frame instead of going back to
    // the system each time.
    constexpr int kMmapThreshold = static_cast<int>(4 * 1024 * 1024 * sizeof(long));
    mallopt(M_MMAP_THRESHOLD, kMmapThreshold);
    mallopt(M_TRIM_THRESHOLD, 2 * kMmapThreshold);
#endif
}

}  // namespace kelvane::platform
