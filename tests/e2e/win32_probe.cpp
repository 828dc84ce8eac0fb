// Drives the Win32 backend alone, without the viewer, so the Wine tests can
// check what it does with windows, menus, dialogs and bitmaps.
//   win32_probe menu               menus as Win32 holds them, on stdout
//   win32_probe window             a GL window: Help > About, File > Quit
//   win32_probe bitmap IN OUT.ppm  loadBitmap, written out as a PPM
//   win32_probe dialog             one open-file dialog; the path on stdout
//   win32_probe resources EXE NAME what Windows reads from a program file:
//                                  the icon NAME, the manifest, the version
//   win32_probe drop               a title and a drop of two files, as the window sees them
#include <windows.h>
#include <shlobj.h>
#include <winver.h>
#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "common/bmp_rows.h"
#include "platform/platform.h"

using namespace kelvane::platform;

namespace {

constexpr int kQuit = 1004;
constexpr int kAbout = 1005;

MenuBar firstBar() { return {{{"File", {{kQuit, "Quit", false}}}, {"Help", {{kAbout, "About", false}}}}}; }

MenuBar secondBar() {
    return {{{"File", {{1001, "Load EBO", false}, {kQuit, "Quit", false}}},
             {"<EBO>", {{1010, "00 <Fish & Chips>", true}, {1011, "01 <J\xC3\xA9r\xC3\xB4me>", false},
                        {1052, "Light", true}}},
             {"Help", {{kAbout, "About", false}}}}};
}

std::wstring toWide(const char* text) {
    wchar_t buffer[1024] = {};
    MultiByteToWideChar(CP_UTF8, 0, text, -1, buffer, 1023);
    return buffer;
}

std::string utf8(const wchar_t* text) {
    char buffer[512] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof(buffer) - 1, nullptr, nullptr);
    return buffer;
}

void dumpMenu(HMENU bar) {
    const int count = GetMenuItemCount(bar);
    for (int i = 0; i < count; ++i) {
        wchar_t title[256] = {};
        GetMenuStringW(bar, i, title, 255, MF_BYPOSITION);
        std::printf("%s\n", utf8(title).c_str());
        HMENU dropDown = GetSubMenu(bar, i);
        for (int j = 0; j < GetMenuItemCount(dropDown); ++j) {
            wchar_t label[256] = {};
            GetMenuStringW(dropDown, j, label, 255, MF_BYPOSITION);
            const UINT state = GetMenuState(dropDown, j, MF_BYPOSITION);
            std::printf("  %u %s%s\n", GetMenuItemID(dropDown, j), utf8(label).c_str(),
                        (state & MF_CHECKED) ? " [checked]" : "");
        }
    }
}

int menuProbe(Platform& platform) {
    bool menuSetDuringCreate = false;
    std::string error;
    auto window = platform.createMainWindow(
        "Kelvane probe", 512, 512,
        [&](Window& w, std::uint32_t message, std::uintptr_t, std::intptr_t) -> std::intptr_t {
            if (message == msg::Create) {
                w.setMenuBar(firstBar());
                menuSetDuringCreate = true;
            }
            return 1;
        },
        &error);
    if (!window) {
        std::printf("no window: %s\n", error.c_str());
        return 2;
    }
    HWND hwnd = FindWindowW(L"Kelvane probe", L"Kelvane probe");
    std::printf("create: %s\n", menuSetDuringCreate ? "menu set" : "missing");
    dumpMenu(GetMenu(hwnd));
    window->setMenuBar(secondBar());
    std::printf("replaced:\n");
    dumpMenu(GetMenu(hwnd));
    return 0;
}

int windowProbe(Platform& platform) {
    std::string error;
    bool sized = false;
    auto window = platform.createMainWindow(
        "Kelvane probe", 512, 512,
        [&](Window& w, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) -> std::intptr_t {
            switch (message) {
                case msg::Create: w.setMenuBar(firstBar()); break;
                case msg::Size:
                    sized = true;
                    glViewport(0, 0, LOWORD(lParam), HIWORD(lParam));
                    break;
                case msg::Close: w.destroy(); break;
                case msg::Destroy: platform.postQuit(0); break;
                case msg::Command:
                    if ((wParam & 0xFFFF) == kAbout) w.showMessageBox("About probe", "first line\rsecond line");
                    if ((wParam & 0xFFFF) == kQuit) w.destroy();
                    break;
            }
            return 1;
        },
        &error);
    if (!window) {
        std::fprintf(stderr, "no window: %s\n", error.c_str());
        return 2;
    }
    if (!window->makeGlContext(&error)) {
        std::fprintf(stderr, "no GL context: %s\n", error.c_str());
        return 3;
    }
    glClearColor(0.1f, 0.1f, 0.1f, 1.0f);
    window->show();
    if (!sized) {
        std::fprintf(stderr, "no size message after showing\n");
        return 4;
    }
    std::printf("renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    std::fflush(stdout);
    while (platform.pumpMessage()) {
        glClear(GL_COLOR_BUFFER_BIT);
        window->swapBuffers();
    }
    return 0;
}

int bitmapProbe(Platform& platform, const char* in, const char* out) {
    const auto bitmap = platform.loadBitmap(in, nullptr);
    if (!bitmap) {
        std::printf("not loaded\n");
        return 1;
    }
    const std::size_t stride = kelvane::bmpRowStride24(bitmap->width);
    if (bitmap->bottomUpBgrRows.size() != stride * bitmap->height) {
        std::printf("wrong row data size %zu\n", bitmap->bottomUpBgrRows.size());
        return 2;
    }
    std::ofstream ppm(out, std::ios::binary);
    ppm << "P6\n" << bitmap->width << ' ' << bitmap->height << "\n255\n";
    for (std::uint32_t y = bitmap->height; y-- > 0;) {  // PPM rows run top-down
        const std::uint8_t* row = bitmap->bottomUpBgrRows.data() + y * stride;
        for (std::uint32_t x = 0; x < bitmap->width; ++x) {
            const char rgb[3] = {char(row[x * 3 + 2]), char(row[x * 3 + 1]), char(row[x * 3])};
            ppm.write(rgb, 3);
        }
    }
    std::printf("%ux%u\n", bitmap->width, bitmap->height);
    return 0;
}

// Posts the window a WM_DROPFILES of two files, one with a non-ASCII name,
// built as the shell builds it: a DROPFILES head, then wide names, each
// ended by a NUL, and a final NUL. (A drop cannot be sent to another process
// under Wine, so the probe drops on its own window.)
bool postDrop(HWND hwnd) {
    const std::wstring names = std::wstring(L"C:\\faces\\t\u00EAte.ebo") + L'\0' + L"Z:\\tmp\\b.FSH" + L'\0' + L'\0';
    const SIZE_T bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    if (!memory) return false;
    auto* head = static_cast<DROPFILES*>(GlobalLock(memory));
    head->pFiles = sizeof(DROPFILES);
    head->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(head) + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return PostMessageW(hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0) != 0;
}

int dropProbe(Platform& platform) {
    std::string error;
    bool dropped = false;
    auto window = platform.createMainWindow(
        "Kelvane probe", 512, 512,
        [&](Window& w, std::uint32_t message, std::uintptr_t, std::intptr_t) -> std::intptr_t {
            if (message != msg::DropFiles) return 1;
            for (const auto& path : w.takeDroppedFiles()) {
                const std::u8string name = path.u8string();
                std::printf("dropped: %s\n", std::string(name.begin(), name.end()).c_str());
            }
            dropped = true;
            return 1;
        },
        &error);
    if (!window) return 2;
    HWND hwnd = FindWindowW(L"Kelvane probe", nullptr);
    window->setTitle("t\xC3\xAAte.ebo - Kelvane probe");
    wchar_t title[256] = {};
    GetWindowTextW(hwnd, title, 255);
    std::printf("title: %s\n", utf8(title).c_str());
    if (!postDrop(hwnd)) return 3;
    // The drop is the only message posted: wait for it as the viewer waits.
    for (int pass = 0; pass < 100 && !dropped; ++pass) {
        platform.waitForMessage(std::chrono::milliseconds(100));
        platform.pumpMessage();
    }
    return dropped ? 0 : 4;
}

int dialogProbe(Platform& platform, const char* initial) {
    std::string error;
    auto window = platform.createMainWindow(
        "Kelvane probe", 512, 512, [](Window&, std::uint32_t, std::uintptr_t, std::intptr_t) -> std::intptr_t { return 1; },
        &error);
    if (!window) return 2;
    FileDialogRequest request{"Open EBO", "EBO File", "*.EBO", "*.EBO", initial ? initial : ""};
    const auto chosen = window->openFileDialog(request);
    std::printf("%s\n", chosen ? chosen->string().c_str() : "cancelled");
    return 0;
}

// Reads a program file the way Explorer and the window class do: the icon by
// name, the manifest, and the version strings through the version API.
int resourcesProbe(const char* exe, const char* iconName) {
    const std::wstring path = toWide(exe);
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) {
        std::printf("cannot open %s\n", exe);
        return 2;
    }
    HICON icon = static_cast<HICON>(LoadImageW(module, toWide(iconName).c_str(), IMAGE_ICON, 32, 32, 0));
    std::printf("icon: %s\n", icon ? "found" : "missing");
    const bool manifest = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)) != nullptr;
    std::printf("manifest: %s\n", manifest ? "found" : "missing");

    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::string info(size, '\0');
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, info.data())) {
        std::printf("version: missing\n");
        return 1;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
        std::printf("FileVersion: %u.%u.%u.%u\n", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                    HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    }
    for (const wchar_t* key : {L"ProductName", L"ProductVersion", L"FileDescription", L"OriginalFilename"}) {
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
        wchar_t* value = nullptr;
        if (VerQueryValueW(info.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) && value)
            std::printf("%s: %s\n", utf8(key).c_str(), utf8(value).c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    auto platform = createNativePlatform();
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "menu") return menuProbe(*platform);
    if (mode == "window") return windowProbe(*platform);
    if (mode == "bitmap" && argc == 4) return bitmapProbe(*platform, argv[2], argv[3]);
    if (mode == "dialog") return dialogProbe(*platform, argc > 2 ? argv[2] : nullptr);
    if (mode == "resources" && argc == 4) return resourcesProbe(argv[2], argv[3]);
    if (mode == "drop") return dropProbe(*platform);
    std::fprintf(stderr,
                 "usage: win32_probe menu | window | bitmap IN OUT.ppm | dialog [INITIAL] | resources EXE NAME | drop\n");
    return 2;
}
