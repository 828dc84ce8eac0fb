#include "platform/fltk/fltk_window.h"

#include <FL/Fl.H>
#include <FL/fl_ask.H>

#include <algorithm>
#include <utility>

#include "platform/fltk/fltk_dialogs.h"
#include "platform/fltk/fltk_drop.h"
#include "platform/fltk/fltk_menu.h"
#include "platform/fltk/fltk_x11.h"

namespace kelvane::platform::fltk {

namespace {

constexpr int kMenuBarHeight = 25;

// Mouse-message button flags from FLTK's event state.
std::uintptr_t buttonFlags() {
    const int state = Fl::event_state();
    std::uintptr_t flags = 0;
    if (state & FL_BUTTON1) flags |= kLeftButtonDown;
    if (state & FL_BUTTON3) flags |= kRightButtonDown;
    if (state & FL_SHIFT) flags |= kShiftDown;
    if (state & FL_CTRL) flags |= kControlDown;
    if (state & FL_BUTTON2) flags |= kMiddleButtonDown;
    return flags;
}

// Virtual-key code of an FLTK key. The viewer needs HOME and the arrows;
// letters and digits keep their Win32 codes, anything else gets vk::Other.
std::uintptr_t virtualKey(int key) {
    switch (key) {
        case FL_Home: return vk::Home;
        case FL_Left: return vk::Left;
        case FL_Up: return vk::Up;
        case FL_Right: return vk::Right;
        case FL_Down: return vk::Down;
        case FL_Escape: return vk::Escape;
        default: break;
    }
    if (key >= 'a' && key <= 'z') return static_cast<std::uintptr_t>(key - 'a' + 'A');
    if (key >= '0' && key <= '9') return static_cast<std::uintptr_t>(key);
    return vk::Other;
}

}  // namespace

std::intptr_t packSize(int width, int height) {
    return packPosition(std::clamp(width, 0, 0xFFFF), std::clamp(height, 0, 0xFFFF));
}

GlView::GlView(int x, int y, int w, int h, FltkWindow& owner) : Fl_Gl_Window(x, y, w, h), owner_(owner) {}

int GlView::handle(int event) {
    switch (event) {
        case FL_FOCUS:
        case FL_UNFOCUS:
        case FL_ENTER:
        case FL_LEAVE:
            // Accepting focus is what brings the arrow keys here instead of
            // moving focus between widgets.
            return 1;
        case FL_PUSH:
            // A press is no mouse move: as on Windows, the drag starts with
            // the first move while the button is down.
            take_focus();
            return 1;
        case FL_RELEASE:
            return 1;
        case FL_MOVE:
        case FL_DRAG:
            owner_.post(msg::MouseMove, buttonFlags(), packPosition(Fl::event_x(), Fl::event_y()));
            return 1;
        case FL_MOUSEWHEEL: {
            if (Fl::event_dy() == 0) return 0;
            // FLTK drops a move that comes just before: the wheel's place is the pointer's.
            owner_.post(msg::MouseMove, buttonFlags(), packPosition(Fl::event_x(), Fl::event_y()));
            // FLTK's dy < 0 is the wheel turned away from the user.
            const int delta = Fl::event_dy() < 0 ? kWheelDelta : -kWheelDelta;
            owner_.post(msg::MouseWheel, packWheel(delta, buttonFlags()),
                        packPosition(Fl::event_x_root(), Fl::event_y_root()));
            return 1;
        }
        case FL_KEYBOARD: {
            // Every key, Escape included, stops here: none closes the window.
            // Ctrl with a menu item's key runs the item instead.
            const std::uintptr_t key = virtualKey(Fl::event_key());
            const int command = (Fl::event_state() & FL_CTRL) ? owner_.commandOfCtrlKey(key) : 0;
            if (command != 0)
                owner_.post(msg::Command, static_cast<std::uintptr_t>(command));
            else
                owner_.post(msg::KeyDown, key, 0);
            return 1;
        }
        case FL_KEYUP:
            return 1;
        case FL_DND_ENTER:
        case FL_DND_DRAG:
        case FL_DND_LEAVE:
        case FL_DND_RELEASE:
            // Accepting these is what makes FLTK deliver the drop as FL_PASTE.
            return 1;
        case FL_PASTE:
            owner_.dropFiles(droppedPaths(Fl::event_text() ? Fl::event_text() : ""));
            return 1;
        default:
            return Fl_Gl_Window::handle(event);
    }
}

void GlView::flush() {
    // FLTK flushes the view when X reports it uncovered (or resized).
    owner_.post(msg::Paint);
}

void GlView::resize(int x, int y, int w, int h) {
    const bool sizeChanged = w != this->w() || h != this->h();
    Fl_Gl_Window::resize(x, y, w, h);
    if (sizeChanged) owner_.post(msg::Size, 0, packSize(w, h));
}

FltkWindow::FltkWindow(const std::string& title, int width, int height, WindowProc procedure, MessageQueue& queue)
    : procedure_(std::move(procedure)), queue_(queue) {
    frame_ = std::make_unique<Fl_Double_Window>(width, height);
    frame_->copy_label(title.c_str());
    frame_->callback(onWindowCallback, this);
    menuBar_ = new Fl_Menu_Bar(0, 0, width, kMenuBarHeight);
    menuBar_->user_data(this);
    view_ = new GlView(0, kMenuBarHeight, width, height - kMenuBarHeight, *this);
    // 24 colour bits, 16 depth bits, double-buffered: the viewer's pixel format.
    if (Fl_Gl_Window::can_do(kGlAttributes))
        view_->mode(kGlAttributes);
    else
        view_->mode(FL_RGB | FL_DOUBLE | FL_DEPTH);
    frame_->end();
    frame_->resizable(view_);
    send(msg::Create);
}

FltkWindow::~FltkWindow() {
    // Messages still queued for this window go nowhere.
    std::erase_if(queue_, [this](const QueuedMessage& m) { return m.window == this; });
    frame_->hide();
}

void FltkWindow::onWindowCallback(Fl_Widget*, void* self) {
    // FLTK calls this for the close box and for Escape; only the first is a
    // close request.
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
    static_cast<FltkWindow*>(self)->post(msg::Close);
}

void FltkWindow::onMenuPick(Fl_Widget* menuBar, void* id) {
    auto* self = static_cast<FltkWindow*>(menuBar->user_data());
    self->post(msg::Command, static_cast<std::uintptr_t>(reinterpret_cast<std::intptr_t>(id)) & 0xFFFF);
}

std::intptr_t FltkWindow::send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    return procedure_ ? procedure_(*this, message, wParam, lParam) : 0;
}

void FltkWindow::post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (!destroyed_) queue_.push_back({this, message, wParam, lParam});
}

void FltkWindow::dropFiles(std::vector<std::filesystem::path> paths) {
    if (paths.empty()) return;
    droppedFiles_.insert(droppedFiles_.end(), paths.begin(), paths.end());
    post(msg::DropFiles);
}

std::vector<std::filesystem::path> FltkWindow::takeDroppedFiles() { return std::exchange(droppedFiles_, {}); }

void FltkWindow::setTitle(const std::string& utf8) { frame_->copy_label(utf8.c_str()); }

void FltkWindow::setMenuBar(const MenuBar& bar) {
    std::deque<std::string> labels;
    const std::vector<Fl_Menu_Item> items = menuItems(bar, onMenuPick, labels);
    menuBar_->copy(items.data());
    menuLabels_.swap(labels);  // the old labels are no longer referenced
    bar_ = bar;
    menuBar_->redraw();
}

void FltkWindow::showMessageBox(const std::string& caption, const std::string& text) {
    fltk::showMessageBox(caption, text);
}

std::optional<std::filesystem::path> FltkWindow::openFileDialog(const FileDialogRequest& request) {
    return fltk::openFileDialog(request);
}

std::optional<std::filesystem::path> FltkWindow::saveFileDialog(const FileDialogRequest& request) {
    return fltk::saveFileDialog(request);
}

std::optional<std::filesystem::path> FltkWindow::chooseFolderDialog(const FileDialogRequest& request) {
    return fltk::chooseFolderDialog(request);
}

ClientSize FltkWindow::clientSize() const { return {view_->w(), view_->h()}; }

void FltkWindow::swapBuffers() {
    if (!destroyed_ && view_->shown()) view_->swap_buffers();
}

void FltkWindow::destroy() {
    if (destroyed_) return;
    // The window stays on screen until it is deleted, so that a frame drawn
    // after this still has a drawable.
    send(msg::Destroy);
    destroyed_ = true;
    std::erase_if(queue_, [this](const QueuedMessage& m) { return m.window == this; });
}

Outcome FltkWindow::makeGlContext() {
    // An FLTK GL window gets its context only once it is on screen.
    frame_->show();
    view_->show();
    Fl::check();
    view_->make_current();
    if (!view_->context()) return failure("cannot create an OpenGL context for the window");
    requestSwapInterval(*view_);
    return Done{};
}

void FltkWindow::show() {
    frame_->show();
    view_->take_focus();
    Fl::check();
    // The first projection comes from this size message.
    send(msg::Size, 0, packSize(view_->w(), view_->h()));
}

}  // namespace kelvane::platform::fltk
