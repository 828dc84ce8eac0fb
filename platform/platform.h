#pragma once

// The one boundary between the viewer and a window system. Everything above
// it (app/, render/) is the same code on every backend: win32 (Windows),
// fltk (Linux and other Unix), fake (tests). The messages and their
// parameters follow the Win32 window procedure, so that backend passes them
// through and the others translate their toolkit's events into them.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/result.h"
#include "platform/folder_watch.h"

namespace kelvane::platform {

// Window messages, by their Win32 numbers.
namespace msg {
constexpr std::uint32_t Create = 0x0001;
constexpr std::uint32_t Destroy = 0x0002;
constexpr std::uint32_t Size = 0x0005;        // lParam: client width (low 16), height (high 16)
constexpr std::uint32_t Paint = 0x000F;       // part of the client area was uncovered: draw again
constexpr std::uint32_t Close = 0x0010;
constexpr std::uint32_t KeyDown = 0x0100;     // wParam: virtual-key code
constexpr std::uint32_t Command = 0x0111;     // wParam: command id in the low 16 bits
constexpr std::uint32_t MenuSelect = 0x011F;
constexpr std::uint32_t MouseMove = 0x0200;   // wParam: button flags; lParam: packed client position
constexpr std::uint32_t MouseWheel = 0x020A;  // wParam: signed 16-bit delta in the high 16 bits
constexpr std::uint32_t ExitMenuLoop = 0x0212;
constexpr std::uint32_t DropFiles = 0x0233;   // files were dropped: Window::takeDroppedFiles
}  // namespace msg

// Virtual-key codes, by their Win32 numbers: the keys the viewer reacts to,
// Escape, and the one code a backend that translates keys sends for the rest.
namespace vk {
constexpr std::uint32_t Escape = 0x1B;  // VK_ESCAPE: an ordinary key, it closes nothing
constexpr std::uint32_t Home = 0x24;
constexpr std::uint32_t Left = 0x25;
constexpr std::uint32_t Up = 0x26;
constexpr std::uint32_t Right = 0x27;
constexpr std::uint32_t Down = 0x28;
constexpr std::uint32_t Other = 0xFF;  // no key the viewer uses (a code Win32 reserves)
}  // namespace vk

// Button and modifier flags of the mouse messages, by their Win32 names.
constexpr std::uintptr_t kLeftButtonDown = 0x0001;    // MK_LBUTTON
constexpr std::uintptr_t kRightButtonDown = 0x0002;   // MK_RBUTTON
constexpr std::uintptr_t kShiftDown = 0x0004;         // MK_SHIFT
constexpr std::uintptr_t kControlDown = 0x0008;       // MK_CONTROL
constexpr std::uintptr_t kMiddleButtonDown = 0x0010;  // MK_MBUTTON

constexpr int kWheelDelta = 120;  // one notch

// Packs a client position as the mouse messages carry it: x in the low 16
// bits, y in the high 16 bits, each a signed 16-bit value.
constexpr std::intptr_t packPosition(int x, int y) {
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16) |
                                      static_cast<std::uint16_t>(x));
}
constexpr std::uintptr_t packWheel(int delta, std::uintptr_t buttonFlags = 0) {
    return (static_cast<std::uintptr_t>(static_cast<std::uint16_t>(delta)) << 16) | (buttonFlags & 0xFFFF);
}

class Window;
using WindowProc = std::function<std::intptr_t(Window&, std::uint32_t message, std::uintptr_t wParam,
                                               std::intptr_t lParam)>;

// The menu bar as a plain value: the app builds it, the backend shows it.
// Labels are UTF-8.
struct MenuItem {
    int id = 0;
    std::string label;
    bool checked = false;
    // A letter 'A'-'Z' that, with Ctrl held, runs the item from the window;
    // the menu shows it beside the label. 0 for none.
    char ctrlKey = 0;
    bool operator==(const MenuItem&) const = default;
};
struct Menu {
    std::string title;
    std::vector<MenuItem> items;
    bool operator==(const Menu&) const = default;
};
struct MenuBar {
    std::vector<Menu> menus;
    bool operator==(const MenuBar&) const = default;
};

// The id of the item that Ctrl with `virtualKey` runs, or 0.
inline int commandOfCtrlKey(const MenuBar& bar, std::uintptr_t virtualKey) {
    for (const Menu& menu : bar.menus)
        for (const MenuItem& item : menu.items)
            if (item.ctrlKey != 0 && static_cast<std::uintptr_t>(item.ctrlKey) == virtualKey) return item.id;
    return 0;
}

// One open-file dialog. The filter matches upper and lower case alike.
struct FileDialogRequest {
    std::string title;             // "Open EBO"
    std::string filterName;        // "EBO File"
    std::string pattern;           // "*.EBO"
    std::string defaultExtension;  // "*.EBO"
    std::filesystem::path initialPath;  // the last path chosen, or empty
};

// A picture as a bottom-up device-independent bitmap stores it: 24 bits a
// pixel in the order blue, green, red, first row in memory the bottom row,
// each row padded to a multiple of 4 bytes. Backends convert other depths.
struct Bitmap {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> bottomUpBgrRows;
};

struct ClientSize {
    int width = 0;
    int height = 0;
};

// The main window. Its client area is the GL drawing surface.
class Window {
public:
    virtual ~Window() = default;
    // Replaces the whole menu bar.
    virtual void setMenuBar(const MenuBar& bar) = 0;
    // A modal message box owned by the window: information icon, OK button.
    virtual void showMessageBox(const std::string& caption, const std::string& text) = 0;
    // A modal open-file dialog; the chosen path, or nothing when cancelled.
    virtual std::optional<std::filesystem::path> openFileDialog(const FileDialogRequest& request) = 0;
    // A modal save-file dialog that asks before a chosen file is replaced;
    // it starts on the request's initial path (folder and proposed name).
    virtual std::optional<std::filesystem::path> saveFileDialog(const FileDialogRequest& request) = 0;
    // A modal folder chooser (a new folder can be made in it), starting on
    // the request's initial path; only its title and initial path are used.
    virtual std::optional<std::filesystem::path> chooseFolderDialog(const FileDialogRequest& request) = 0;
    virtual ClientSize clientSize() const = 0;
    // Replaces the window title (the Win32 class name stays as created).
    virtual void setTitle(const std::string& utf8) = 0;
    // The files of the drops reported by msg::DropFiles since the last call,
    // in the order given; each path is handed out once.
    virtual std::vector<std::filesystem::path> takeDroppedFiles() = 0;
    // Gives the window a GL context (RGBA, 24 colour bits, 16 depth bits,
    // double-buffered) and makes it current; the reason on failure.
    // A backend whose toolkit makes GL contexts only for windows on screen
    // (FLTK) puts the window on screen here; it still sends no msg::Size
    // before show.
    virtual Outcome makeGlContext() = 0;
    // Shows the window; the procedure receives msg::Size with the client
    // size before this returns (as ShowWindow sends WM_SIZE). Where a backend
    // cannot, the caller sets the projection from clientSize() itself.
    virtual void show() = 0;
    // Shows the frame just drawn with GL (SwapBuffers on the window's DC).
    virtual void swapBuffers() = 0;
    // Destroys the window (DestroyWindow): the procedure receives
    // msg::Destroy before this returns. Messages still queued for the window
    // are dropped.
    virtual void destroy() = 0;
};

class Platform {
public:
    virtual ~Platform() = default;
    // Creates the main window with the given title and outer size; the
    // procedure receives msg::Create during creation; a one-line reason when
    // the window cannot be made. `windowClass` is the
    // name the desktop knows the program by (on X11 the window class, which
    // a desktop entry's StartupWMClass names); Win32 keeps the title as its
    // class name.
    virtual Result<std::unique_ptr<Window>> createMainWindow(const std::string& title, const std::string& windowClass,
                                                             int outerWidth, int outerHeight, WindowProc procedure) = 0;
    // Handles at most one pending message without waiting (PeekMessageW,
    // then GetMessageW and DispatchMessageW). Returns false once the quit
    // message (posted by postQuit) has been taken, and from then on.
    virtual bool pumpMessage() = 0;
    // Sleeps until a message is pending, a notice of folderWatch() comes or
    // `timeout` has passed (no limit when not given); handles nothing
    // itself. A part of the window uncovered while waiting arrives as
    // msg::Paint.
    virtual void waitForMessage(std::optional<std::chrono::milliseconds> timeout) = 0;
    // The watch of the followed files' folders whose notices wake
    // waitForMessage, made on first use; null where the system gives none.
    virtual FolderWatch* folderWatch() { return nullptr; }
    virtual void postQuit(int exitCode) = 0;
    // Whether the program ends by its own command; a web page has no Quit,
    // the browser closes it.
    virtual bool canQuit() const { return true; }
    // Loads a bitmap file, converting any depth to 24-bit rows; a few words
    // on why when the file is not a readable bitmap.
    virtual Result<Bitmap> loadBitmap(const std::filesystem::path& path) = 0;
    // The program's arguments after its name, as UTF-8. Windows reads them
    // from the system as UTF-16; elsewhere they are argv as given.
    virtual std::vector<std::string> programArguments(int argc, char** argv) {
        return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
    }
    // Lets standard output and error reach the console the program was
    // started from where the system does not connect them itself (a Windows
    // GUI program started from a console).
    virtual void useStartingConsole() {}
};

// The backend this program was built with (win32 on Windows, fltk elsewhere);
// never null.
std::unique_ptr<Platform> createNativePlatform();

}  // namespace kelvane::platform
