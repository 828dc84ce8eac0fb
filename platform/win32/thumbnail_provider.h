#pragma once

// Explorer's thumbnail handler as a COM in-process server: the class
// factory and the object implementing IInitializeWithStream and
// IThumbnailProvider. The picture itself comes from the layer above, through
// the drawing function a DLL passes in.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "common/file_kind.h"
#include "common/result.h"

namespace kelvane::platform::win32 {

// A file's bytes drawn as size x size RGBA, top row first, straight alpha.
using ThumbnailDraw = Result<std::vector<std::uint8_t>> (*)(FileKind kind, std::vector<std::uint8_t> bytes, int size);

// One registered class: the kind of file its extension holds (a stream has
// no name, and an archive has no magic number).
struct ThumbnailClass {
    CLSID clsid;
    FileKind kind;
};

// Streams over this many bytes are refused at once, before reading.
constexpr std::uint64_t kThumbnailMaxBytes = 64u << 20;

// DllGetClassObject for `classes`, each drawn by `draw`.
HRESULT thumbnailClassObject(REFCLSID clsid, REFIID iid, void** object, const ThumbnailClass* classes, int count,
                             ThumbnailDraw draw);
// DllCanUnloadNow: S_OK once no object or lock is left.
HRESULT thumbnailCanUnloadNow();

}  // namespace kelvane::platform::win32
