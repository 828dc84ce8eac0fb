#pragma once

// A backend with no window system, for tests: it records what the app asks
// for (menu bars, message boxes, dialogs, bitmaps, frames, waits) and answers
// dialogs, bitmap loads and GL contexts from a script that the test fills in.
// Messages reach the window procedure when the test sends or posts them.

#include <deque>
#include <functional>
#include <map>

#include "platform/platform.h"

namespace kelvane::platform::fake {

struct Message {
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

struct MessageBoxCall {
    std::string caption;
    std::string text;
};

class FakePlatform;

class FakeWindow : public Window {
public:
    FakeWindow(FakePlatform& platform, std::string title, WindowProc procedure = nullptr);
    ~FakeWindow() override;

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

    // Calls the window procedure at once, as SendMessage would; 0 without one.
    std::intptr_t send(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);

    const std::string& title() const { return title_; }

private:
    FakePlatform& platform_;
    std::string title_;
    WindowProc procedure_;
    bool destroyed_ = false;
};

class FakePlatform : public Platform {
public:
    // --- Script: what the "user" and the "system" answer. ---
    // Answers of the dialogs (open, save, folder) in order; nullopt (or an
    // empty queue) is a cancelled dialog.
    std::deque<std::optional<std::filesystem::path>> dialogAnswers;
    // The bitmaps loadBitmap finds; any other path is not a readable bitmap.
    std::map<std::filesystem::path, Bitmap> bitmaps;
    ClientSize size{512, 512};
    bool failWindowCreation = false;
    // Makes the GL context; without it makeGlContext succeeds doing nothing.
    std::function<Outcome(Window&)> glContextFactory;
    // Runs whenever the app waits for a message, standing in for the time
    // passing and the user acting; it may post messages.
    std::function<void(std::optional<std::chrono::milliseconds> timeout)> whileWaiting;

    // --- Record: what the app asked for. ---
    std::vector<MenuBar> menuBars;  // every bar set, the last one is shown
    std::vector<MessageBoxCall> messageBoxes;
    std::vector<FileDialogRequest> dialogRequests;
    std::vector<std::filesystem::path> bitmapRequests;
    int framesSwapped = 0;
    int waits = 0;  // calls of waitForMessage

    // Queues a message for pumpMessage to deliver to the last window made.
    void post(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
    // The menu bar last set; an empty bar when none was.
    const MenuBar& shownMenuBar() const;

    Result<std::unique_ptr<Window>> createMainWindow(const std::string& title, const std::string& windowClass,
                                                     int outerWidth, int outerHeight, WindowProc procedure) override;
    bool pumpMessage() override;
    void waitForMessage(std::optional<std::chrono::milliseconds> timeout) override;
    void postQuit(int exitCode) override;
    Result<Bitmap> loadBitmap(const std::filesystem::path& path) override;

private:
    friend class FakeWindow;
    std::deque<Message> queue_;
    FakeWindow* window_ = nullptr;  // the last window createMainWindow made (owned by its caller)
    bool quitPosted_ = false;
    bool quitTaken_ = false;
};

}  // namespace kelvane::platform::fake
