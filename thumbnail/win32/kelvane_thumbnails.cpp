// kelvane-thumbnails.dll: Explorer's thumbnails of models and archives. One
// class per extension, since Explorer hands over a nameless stream and an
// archive carries no magic number to tell it by; register-thumbnails.cmd
// (packaging/windows/) writes the same CLSIDs.
#include <windows.h>

#include <utility>

#include "platform/win32/thumbnail_provider.h"
#include "thumbnail/thumbnail.h"

namespace {

using kelvane::FileKind;
using kelvane::platform::win32::ThumbnailClass;

// {71799B5F-6AAC-4929-AFA3-D733AE5A2E11}: .ebo models.
// {6D3E8C73-D3AA-48C4-B404-7AE83342131B}: .fsh archives.
constexpr ThumbnailClass kClasses[] = {
    {{0x71799b5f, 0x6aac, 0x4929, {0xaf, 0xa3, 0xd7, 0x33, 0xae, 0x5a, 0x2e, 0x11}}, FileKind::Ebo},
    {{0x6d3e8c73, 0xd3aa, 0x48c4, {0xb4, 0x04, 0x7a, 0xe8, 0x33, 0x42, 0x13, 0x1b}}, FileKind::Fsh},
};

// From a stream there is no companion archive: a model is drawn lit, or outlined.
kelvane::Result<std::vector<std::uint8_t>> draw(FileKind kind, std::vector<std::uint8_t> bytes, int size) {
    const auto subject = kelvane::readThumbnailBytes(kind, std::move(bytes));
    if (!subject) return subject.problem();
    return kelvane::drawThumbnail(*subject, size);
}

}  // namespace

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    return kelvane::platform::win32::thumbnailClassObject(clsid, iid, object, kClasses, 2, draw);
}

extern "C" HRESULT __stdcall DllCanUnloadNow() { return kelvane::platform::win32::thumbnailCanUnloadNow(); }
