// The Win32 backend: the window system the viewer was made for. Window
// messages reach the app's procedure as they are.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>

#include "platform/win32/change_watch.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_window.h"

namespace kelvane::platform {

namespace win32 {
namespace {

class Win32Platform final : public Platform {
public:
    Result<std::unique_ptr<Window>> createMainWindow(const std::string& title, const std::string&, int outerWidth,
                                                     int outerHeight, WindowProc procedure) override {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        // The window title is also the class name (the desktop's name for
        // the program is an X11 matter).
        const std::wstring name = toUtf16(title);

        WNDCLASSW windowClass{};
        windowClass.style = 0;
        windowClass.lpfnWndProc = &Win32Window::windowProcedure;
        windowClass.hInstance = instance;
        windowClass.hIcon = LoadIconW(instance, name.c_str());  // the program's icon carries the title as its name
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = name.c_str();
        if (!RegisterClassW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return lastError("RegisterClassW failed");

        auto window = std::make_unique<Win32Window>(std::move(procedure));
        HWND hwnd = CreateWindowExW(0, name.c_str(), name.c_str(),
                                    WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                    CW_USEDEFAULT, outerWidth, outerHeight, nullptr, nullptr, instance, window.get());
        if (!hwnd) return lastError("CreateWindowExW failed");
        DragAcceptFiles(hwnd, TRUE);  // files dropped on the window arrive as WM_DROPFILES
        return std::unique_ptr<Window>(std::move(window));
    }

    bool pumpMessage() override {
        MSG message{};
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) return true;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return false;  // WM_QUIT
        if (got == -1) return true;  // nothing valid was taken
        TranslateMessage(&message);
        DispatchMessageW(&message);
        return true;
    }

    void waitForMessage(std::optional<std::chrono::milliseconds> timeout) override {
        const DWORD milliseconds =
            timeout ? static_cast<DWORD>(std::clamp<long long>(timeout->count(), 0, INFINITE - 1)) : INFINITE;
        // A change notification wakes it too; MWMO_INPUTAVAILABLE: messages
        // the last peek already saw count as well.
        const auto& handles = watch_.handles();
        MsgWaitForMultipleObjectsEx(static_cast<DWORD>(handles.size()), handles.empty() ? nullptr : handles.data(),
                                    milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }

    FolderWatch* folderWatch() override { return &watch_; }

    void postQuit(int exitCode) override { PostQuitMessage(exitCode); }

    Result<Bitmap> loadBitmap(const std::filesystem::path& path) override {
        return loadBitmapFile(path);
    }

    std::vector<std::string> programArguments(int, char**) override {
        std::vector<std::string> arguments = commandLineArguments();
        if (!arguments.empty()) arguments.erase(arguments.begin());  // the program's own name
        return arguments;
    }

    void useStartingConsole() override {
        // A GUI program started from a console gets no standard handles
        // unless they were redirected; the console is still there to attach to.
        const bool outConnected = connected(STD_OUTPUT_HANDLE), errConnected = connected(STD_ERROR_HANDLE);
        if (outConnected && errConnected) return;
        if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
        if (!outConnected) std::freopen("CONOUT$", "w", stdout);
        if (!errConnected) std::freopen("CONOUT$", "w", stderr);
    }

private:
    ChangeWatch watch_;

    static bool connected(DWORD which) {
        HANDLE handle = GetStdHandle(which);
        return handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
    }
};

}  // namespace
}  // namespace win32

std::unique_ptr<Platform> createNativePlatform() { return std::make_unique<win32::Win32Platform>(); }

}  // namespace kelvane::platform
