#include "platform/win32/win32_window.h"

#include "platform/win32/message_routing.h"
#include "platform/win32/text.h"

#include <utility>

namespace kelvane::platform::win32 {

Win32Window::~Win32Window() {
    if (!hwnd_) return;
    // Detach first: messages sent while the window goes away must not reach
    // the app through this object any more.
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
}

LRESULT CALLBACK Win32Window::windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        // WM_CREATE follows inside CreateWindowExW, so the object must be
        // reachable before that call returns: it rides in lpCreateParams.
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* window = static_cast<Win32Window*>(create->lpCreateParams);
        if (window) {
            window->hwnd_ = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
        }
    }
    auto* window = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!window) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        window->hwnd_ = nullptr;
        window->deviceContext_ = nullptr;
        window->menuBar_ = nullptr;  // destroyed with the window
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return window->handleMessage(message, wParam, lParam);
}

LRESULT Win32Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        // The default handling validates the window; the picture itself
        // comes from the frame loop, which the app is told to run.
        procedure_(*this, msg::Paint, 0, 0);
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
    if (message == WM_DROPFILES) {
        keepDroppedFiles(reinterpret_cast<HDROP>(wParam));
        procedure_(*this, msg::DropFiles, 0, 0);
        return 0;
    }
    // Ctrl with a menu item's key runs the item.
    if (message == WM_KEYDOWN && (GetKeyState(VK_CONTROL) & 0x8000) != 0)
        if (const int command = commandOfCtrlKey(bar_, wParam)) return procedure_(*this, msg::Command, command, 0);
    if (!isAppMessage(message)) return DefWindowProcW(hwnd_, message, wParam, lParam);
    if (message == WM_SIZE) sizeSeen_ = true;
    return procedure_(*this, message, wParam, lParam);
}

void Win32Window::keepDroppedFiles(HDROP drop) {
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        if (length == 0) continue;
        std::wstring path(length + 1, L'\0');
        const UINT copied = DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(copied);
        if (!path.empty()) droppedFiles_.emplace_back(path);
    }
    DragFinish(drop);
}

std::vector<std::filesystem::path> Win32Window::takeDroppedFiles() { return std::exchange(droppedFiles_, {}); }

void Win32Window::setTitle(const std::string& utf8) {
    if (hwnd_) SetWindowTextW(hwnd_, toUtf16(utf8).c_str());
}

void Win32Window::setMenuBar(const MenuBar& bar) {
    if (!hwnd_) return;
    HMENU fresh = createNativeMenuBar(bar);
    if (!fresh) return;
    if (!SetMenu(hwnd_, fresh)) {
        DestroyMenu(fresh);
        return;
    }
    // DestroyMenu takes the drop-downs of the old bar with it.
    if (menuBar_) DestroyMenu(menuBar_);
    menuBar_ = fresh;
    bar_ = bar;
}

void Win32Window::showMessageBox(const std::string& caption, const std::string& text) {
    // Lines in the app's text end with CR alone, which the box shows as a
    // line break, so the text goes through unchanged.
    MessageBoxW(hwnd_, toUtf16(text).c_str(), toUtf16(caption).c_str(), MB_ICONINFORMATION | MB_OK);
}

std::optional<std::filesystem::path> Win32Window::openFileDialog(const FileDialogRequest& request) {
    return runOpenFileDialog(request);
}

std::optional<std::filesystem::path> Win32Window::saveFileDialog(const FileDialogRequest& request) {
    return runSaveFileDialog(hwnd_, request);
}

std::optional<std::filesystem::path> Win32Window::chooseFolderDialog(const FileDialogRequest& request) {
    return runFolderDialog(hwnd_, request);
}

ClientSize Win32Window::clientSize() const {
    RECT rect{};
    if (!hwnd_ || !GetClientRect(hwnd_, &rect)) return {};
    return {static_cast<int>(rect.right), static_cast<int>(rect.bottom)};
}

Outcome Win32Window::makeGlContext() { return createWglContext(*this); }

void Win32Window::show() {
    if (!hwnd_) return;
    const bool sizedBefore = sizeSeen_;
    ShowWindow(hwnd_, SW_SHOWDEFAULT);
    UpdateWindow(hwnd_);
    // The first showing normally reports the client size; where it did
    // not, report it here so the projection is set before the first frame.
    if (!sizedBefore && !sizeSeen_) {
        const ClientSize size = clientSize();
        SendMessageW(hwnd_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(size.width, size.height));
    }
}

ReadProblem lastError(const std::string& what) {
    const DWORD code = GetLastError();
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                                        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring words(text ? text : L"", length);
    if (text) LocalFree(text);
    while (!words.empty() && (words.back() == L' ' || words.back() == L'.')) words.pop_back();
    std::string reason = what + " (error " + std::to_string(code);
    if (!words.empty()) reason += ": " + toUtf8(words);
    return failure(reason + ")");
}

void Win32Window::swapBuffers() {
    if (deviceContext_) SwapBuffers(deviceContext_);
}

void Win32Window::destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
}

}  // namespace kelvane::platform::win32
