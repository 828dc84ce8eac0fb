#pragma once

// The FLTK main window: a double-buffered top-level window with a menu bar
// on top and a GL window below it as the client area. FLTK events become
// window-procedure messages in a queue that the platform's pump works off
// one at a time.

#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Gl_Window.H>
#include <FL/Fl_Menu_Bar.H>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kelvane::platform::fltk {

class FltkWindow;

struct QueuedMessage {
    FltkWindow* window = nullptr;  // null for the quit message
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};
using MessageQueue = std::deque<QueuedMessage>;

// The client area. FLTK does not draw it: every frame is drawn and swapped
// by the frame loop, which learns of an uncovered area from msg::Paint.
class GlView : public Fl_Gl_Window {
public:
    GlView(int x, int y, int w, int h, FltkWindow& owner);
    int handle(int event) override;
    void resize(int x, int y, int w, int h) override;
    void draw() override {}
    void flush() override;

private:
    FltkWindow& owner_;
};

class FltkWindow final : public Window {
public:
    FltkWindow(const std::string& title, int width, int height, WindowProc procedure, MessageQueue& queue);
    ~FltkWindow() override;

    void setMenuBar(const MenuBar& bar) override;
    void showMessageBox(const std::string& caption, const std::string& text) override;
    std::optional<std::filesystem::path> openFileDialog(const FileDialogRequest& request) override;
    std::optional<std::filesystem::path> saveFileDialog(const FileDialogRequest& request) override;
    std::optional<std::filesystem::path> chooseFolderDialog(const FileDialogRequest& request) override;
    ClientSize clientSize() const override;
    void setTitle(const std::string& utf8) override;
    std::vector<std::filesystem::path> takeDroppedFiles() override;
    void swapBuffers() override;
    void destroy() override;

    // Sends a message to the procedure now, as the window system does
    // during creation, showing and destruction.
    std::intptr_t send(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
    // Queues a message for the pump.
    void post(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
    // The command that Ctrl with this key runs in the menu bar shown, or 0.
    int commandOfCtrlKey(std::uintptr_t virtualKey) const { return platform::commandOfCtrlKey(bar_, virtualKey); }
    // Keeps the files of a drop and queues msg::DropFiles for them.
    void dropFiles(std::vector<std::filesystem::path> paths);

    Outcome makeGlContext() override;
    void show() override;

private:
    static void onWindowCallback(Fl_Widget*, void* self);
    static void onMenuPick(Fl_Widget* menuBar, void* id);

    WindowProc procedure_;
    MessageQueue& queue_;
    std::unique_ptr<Fl_Double_Window> frame_;
    Fl_Menu_Bar* menuBar_ = nullptr;  // owned by frame_
    GlView* view_ = nullptr;          // owned by frame_
    // FLTK keeps pointers to the labels of a copied menu: they live here.
    std::deque<std::string> menuLabels_;
    MenuBar bar_;
    std::vector<std::filesystem::path> droppedFiles_;
    bool destroyed_ = false;
};

// Packs a client size as the size message carries it.
std::intptr_t packSize(int width, int height);

}  // namespace kelvane::platform::fltk
