// The FLTK backend: Linux and other Unix systems.
#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include "platform/bmp_decoder.h"
#include "platform/fltk/fltk_icon.h"
#include "platform/fltk/fltk_window.h"
#include "platform/fltk/fltk_x11.h"
#include "platform/frame_allocator.h"
#include "platform/inotify_watch.h"

namespace kelvane::platform {

namespace {

class FltkPlatform final : public Platform {
public:
    Result<std::unique_ptr<Window>> createMainWindow(const std::string& title, const std::string& windowClass,
                                                     int outerWidth, int outerHeight, WindowProc procedure) override {
        if (Outcome display = fltk::openDisplay(); !display) return display.problem();
        // Set before any window exists, so that the message boxes and
        // FLTK's own chooser belong to the program on the desktop too.
        Fl_Window::default_xclass(windowClass.c_str());
        fltk::useProgramIcon();
        return std::unique_ptr<Window>(
            std::make_unique<fltk::FltkWindow>(title, outerWidth, outerHeight, std::move(procedure), queue_));
    }

    // Does not wait: polls FLTK for events when nothing is queued, then
    // delivers at most one message.
    bool pumpMessage() override {
        if (quitTaken_) return false;
        if (queue_.empty()) Fl::check();
        if (queue_.empty()) return true;
        const fltk::QueuedMessage next = queue_.front();
        queue_.pop_front();
        if (!next.window) {
            quitTaken_ = true;
            return false;
        }
        next.window->send(next.message, next.wParam, next.lParam);
        return true;
    }

    void waitForMessage(std::optional<std::chrono::milliseconds> timeout) override {
        if (!queue_.empty() || quitTaken_) return;
        // An uncovered view becomes msg::Paint when FLTK flushes it: do that
        // before sleeping, so that no expose waits for the next event.
        Fl::flush();
        if (!queue_.empty()) return;
        if (timeout)
            Fl::wait(std::chrono::duration<double>(*timeout).count());
        else
            Fl::wait();
    }

    FolderWatch* folderWatch() override {
        if (!watch_) {
            watch_ = std::make_unique<InotifyWatch>();
            // Read as soon as FLTK sees notices, in its own loops (dialogs)
            // too: unread ones would wake every wait at once.
            if (watch_->descriptor() >= 0)
                Fl::add_fd(watch_->descriptor(), FL_READ,
                           [](FL_SOCKET, void* watch) { static_cast<InotifyWatch*>(watch)->drain(); }, watch_.get());
        }
        return watch_.get();
    }

    ~FltkPlatform() override {
        if (watch_ && watch_->descriptor() >= 0) Fl::remove_fd(watch_->descriptor());
    }

    void postQuit(int) override { queue_.push_back({}); }

    Result<Bitmap> loadBitmap(const std::filesystem::path& path) override {
        // FLTK's own BMP reader is not used: it overflows a fixed colour
        // map on tables over 256 entries and mis-decodes run-length files.
        return loadBmpFile(path);
    }

private:
    fltk::MessageQueue queue_;
    bool quitTaken_ = false;
    std::unique_ptr<InotifyWatch> watch_;
};

}  // namespace

std::unique_ptr<Platform> createNativePlatform() {
    setUpAllocatorForFrames();
    return std::make_unique<FltkPlatform>();
}

}  // namespace kelvane::platform
