#pragma once

// The main window of the Win32 backend: an HWND, its device context once a
// GL context exists, and the app's window procedure.
#include <windows.h>
#include <shellapi.h>

#include "platform/platform.h"

namespace kelvane::platform::win32 {

class Win32Window final : public Window {
public:
    explicit Win32Window(WindowProc procedure) : procedure_(std::move(procedure)) {}
    ~Win32Window() override;

    void setMenuBar(const MenuBar& bar) override;
    void showMessageBox(const std::string& caption, const std::string& text) override;
    std::optional<std::filesystem::path> openFileDialog(const FileDialogRequest& request) override;
    std::optional<std::filesystem::path> saveFileDialog(const FileDialogRequest& request) override;
    std::optional<std::filesystem::path> chooseFolderDialog(const FileDialogRequest& request) override;
    ClientSize clientSize() const override;
    void setTitle(const std::string& utf8) override;
    std::vector<std::filesystem::path> takeDroppedFiles() override;
    Outcome makeGlContext() override;
    void show() override;
    void swapBuffers() override;
    void destroy() override;

    HWND handle() const { return hwnd_; }
    HDC deviceContext() const { return deviceContext_; }
    void setDeviceContext(HDC dc) { deviceContext_ = dc; }

    // The window procedure registered with the window class.
    static LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void keepDroppedFiles(HDROP drop);

    WindowProc procedure_;
    HWND hwnd_ = nullptr;
    HDC deviceContext_ = nullptr;
    HMENU menuBar_ = nullptr;
    MenuBar bar_;  // the bar shown, for its Ctrl keys
    bool sizeSeen_ = false;
    std::vector<std::filesystem::path> droppedFiles_;
};

// `reason` with the calling thread's last Win32 error code: the one way this
// backend reports a failed system call.
ReadProblem lastError(const std::string& what);

// Native menus from the menu-bar value; the caller owns the result.
HMENU createNativeMenuBar(const MenuBar& bar);

// Runs the common open-file dialog for one request.
std::optional<std::filesystem::path> runOpenFileDialog(const FileDialogRequest& request);
// The common save dialog (asks before replacing a file) and the shell's
// folder chooser, owned by `owner`.
std::optional<std::filesystem::path> runSaveFileDialog(HWND owner, const FileDialogRequest& request);
std::optional<std::filesystem::path> runFolderDialog(HWND owner, const FileDialogRequest& request);

// Creates the GL context of the window and makes it current.
Outcome createWglContext(Win32Window& window);
// Gives a window's device context the viewer's pixel format (RGBA, 24 colour
// bits, 16 depth bits, double-buffered) and a GL context, made current.
Result<HGLRC> createCurrentWglContext(HDC deviceContext);

// Loads a BMP file through GDI as 24-bit bottom-up rows; nothing, and why in
// `reason`, when it is refused.
Result<Bitmap> loadBitmapFile(const std::filesystem::path& path);

}  // namespace kelvane::platform::win32
