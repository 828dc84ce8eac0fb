// Reads back, through the Windows API, what only Windows shows of the Win32
// backend and of the built programs:
//   win32_probe text                title and menu labels as the window holds
//                                   them, then the paths of a drop of two files
//   win32_probe resources EXE ICON  what Explorer reads from a program file:
//                                   the icon ICON, the manifest, the version
#include <windows.h>
#include <shlobj.h>
#include <winver.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/platform.h"

using namespace kelvane::platform;

namespace {

std::string utf8(const wchar_t* text) {
    char buffer[512] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof(buffer) - 1, nullptr, nullptr);
    return buffer;
}

// Posts the window a WM_DROPFILES built as the shell builds it: a DROPFILES
// head, then wide names each ended by a NUL, and a final NUL. (Wine cannot
// drop on another process's window, so the probe drops on its own.)
bool postDrop(HWND hwnd) {
    const std::wstring names = std::wstring(L"C:\\faces\\t\u00EAte.ebo") + L'\0' + L"Z:\\tmp\\b.FSH" + L'\0' + L'\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    if (!memory) return false;
    auto* head = static_cast<DROPFILES*>(GlobalLock(memory));
    head->pFiles = sizeof(DROPFILES);
    head->fWide = TRUE;
    std::memcpy(head + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return PostMessageW(hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0) != 0;
}

int textProbe(Platform& platform) {
    bool dropped = false;
    auto created = platform.createMainWindow(
        "Kelvane probe", "kelvane-probe", 512, 512,
        [&](Window& w, std::uint32_t message, std::uintptr_t, std::intptr_t) -> std::intptr_t {
            if (message != msg::DropFiles) return 1;
            for (const auto& path : w.takeDroppedFiles()) {
                const std::u8string name = path.u8string();
                std::printf("dropped: %s\n", std::string(name.begin(), name.end()).c_str());
            }
            dropped = true;
            return 1;
        });
    if (!created) {
        std::fprintf(stderr, "no window: %s\n", created.problem().what.c_str());
        return 2;
    }
    const std::unique_ptr<Window> window = std::move(*created);
    HWND hwnd = FindWindowW(L"Kelvane probe", nullptr);
    window->setTitle("t\xC3\xAAte.ebo - Kelvane probe");
    window->setMenuBar({{{"<EBO>", {{1010, "00 <Fish & Chips>", true}, {1011, "01 <J\xC3\xA9r\xC3\xB4me>", false}}}}});
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 255);
    std::printf("title: %s\n", utf8(text).c_str());
    HMENU bar = GetMenu(hwnd);
    GetMenuStringW(bar, 0, text, 255, MF_BYPOSITION);
    std::printf("%s\n", utf8(text).c_str());
    HMENU items = GetSubMenu(bar, 0);
    for (int i = 0; i < GetMenuItemCount(items); ++i) {
        GetMenuStringW(items, i, text, 255, MF_BYPOSITION);
        std::printf("  %u %s%s\n", GetMenuItemID(items, i), utf8(text).c_str(),
                    (GetMenuState(items, i, MF_BYPOSITION) & MF_CHECKED) ? " [checked]" : "");
    }
    if (!postDrop(hwnd)) return 3;
    // Waits for the drop as the viewer waits for messages, a minute at most.
    for (int pass = 0; pass < 600 && !dropped; ++pass) {
        platform.waitForMessage(std::chrono::milliseconds(100));
        platform.pumpMessage();
    }
    return dropped ? 0 : 4;
}

// Reads a program file (an ASCII path) as Explorer and the window class do:
// the icon by name, the manifest, the version strings through the version API.
int resourcesProbe(const char* exe, const char* iconName) {
    HMODULE module = LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return 2;
    const bool icon = LoadImageA(module, iconName, IMAGE_ICON, 32, 32, 0) != nullptr;
    const bool manifest = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)) != nullptr;
    std::printf("icon: %s\nmanifest: %s\n", icon ? "found" : "missing", manifest ? "found" : "missing");
    DWORD ignored = 0;
    std::string info(GetFileVersionInfoSizeA(exe, &ignored), '\0');
    if (info.empty() || !GetFileVersionInfoA(exe, 0, static_cast<DWORD>(info.size()), info.data())) return 1;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed)
        std::printf("FileVersion: %u.%u.%u.%u\n", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                    HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    for (const wchar_t* key : {L"ProductName", L"ProductVersion", L"FileDescription", L"OriginalFilename"}) {
        wchar_t* value = nullptr;
        if (VerQueryValueW(info.data(), (std::wstring(L"\\StringFileInfo\\040904B0\\") + key).c_str(),
                           reinterpret_cast<void**>(&value), &length) && value)
            std::printf("%s: %s\n", utf8(key).c_str(), utf8(value).c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "text") return textProbe(*createNativePlatform());
    if (mode == "resources" && argc == 4) return resourcesProbe(argv[2], argv[3]);
    std::fprintf(stderr, "usage: win32_probe text | resources EXE ICON\n");
    return 2;
}
