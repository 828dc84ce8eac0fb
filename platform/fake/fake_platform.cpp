#include "platform/fake/fake_platform.h"

#include <utility>

namespace kelvane::platform::fake {

FakeWindow::FakeWindow(FakePlatform& platform, std::string title, WindowProc procedure)
    : platform_(platform), title_(std::move(title)), procedure_(std::move(procedure)) {}

FakeWindow::~FakeWindow() {
    if (platform_.window_ == this) platform_.window_ = nullptr;
}

void FakeWindow::setMenuBar(const MenuBar& bar) { platform_.menuBars.push_back(bar); }

void FakeWindow::showMessageBox(const std::string& caption, const std::string& text) {
    platform_.messageBoxes.push_back({caption, text});
}

std::optional<std::filesystem::path> FakeWindow::openFileDialog(const FileDialogRequest& request) {
    platform_.dialogRequests.push_back(request);
    if (platform_.dialogAnswers.empty()) return std::nullopt;
    auto answer = platform_.dialogAnswers.front();
    platform_.dialogAnswers.pop_front();
    return answer;
}

std::optional<std::filesystem::path> FakeWindow::saveFileDialog(const FileDialogRequest& request) {
    return openFileDialog(request);
}

std::optional<std::filesystem::path> FakeWindow::chooseFolderDialog(const FileDialogRequest& request) {
    return openFileDialog(request);
}

ClientSize FakeWindow::clientSize() const { return platform_.size; }

void FakeWindow::setTitle(const std::string& utf8) { title_ = utf8; }

std::vector<std::filesystem::path> FakeWindow::takeDroppedFiles() { return {}; }

Outcome FakeWindow::makeGlContext() {
    return platform_.glContextFactory ? platform_.glContextFactory(*this) : Outcome(Done{});
}

// As ShowWindow sends WM_SIZE: msg::Size with the platform's `size`, to a
// window createMainWindow made.
void FakeWindow::show() {
    if (platform_.window_ == this) send(msg::Size, 0, packPosition(platform_.size.width, platform_.size.height));
}

void FakeWindow::swapBuffers() { ++platform_.framesSwapped; }

void FakeWindow::destroy() {
    if (destroyed_) return;  // a destroyed window gets no second Destroy
    destroyed_ = true;
    send(msg::Destroy);
}

std::intptr_t FakeWindow::send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    return procedure_ ? procedure_(*this, message, wParam, lParam) : 0;
}

void FakePlatform::post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    queue_.push_back({message, wParam, lParam});
}

const MenuBar& FakePlatform::shownMenuBar() const {
    static const MenuBar none;
    return menuBars.empty() ? none : menuBars.back();
}

Result<std::unique_ptr<Window>> FakePlatform::createMainWindow(const std::string& title, const std::string&, int,
                                                               int, WindowProc procedure) {
    if (failWindowCreation) return failure("fake window creation refused by the test");
    auto window = std::make_unique<FakeWindow>(*this, title, std::move(procedure));
    window_ = window.get();
    window->send(msg::Create);
    return std::unique_ptr<Window>(std::move(window));
}

// Like a Win32 queue: posted messages first, the quit message once the queue
// is empty.
bool FakePlatform::pumpMessage() {
    if (!queue_.empty()) {
        const Message next = queue_.front();
        queue_.pop_front();
        if (window_) window_->send(next.message, next.wParam, next.lParam);
        return true;
    }
    if (quitPosted_ && !quitTaken_) {
        quitTaken_ = true;
        return false;
    }
    return !quitTaken_;
}

void FakePlatform::waitForMessage(std::optional<std::chrono::milliseconds> timeout) {
    ++waits;
    if (whileWaiting) whileWaiting(timeout);
}

void FakePlatform::postQuit(int) { quitPosted_ = true; }

Result<Bitmap> FakePlatform::loadBitmap(const std::filesystem::path& path) {
    bitmapRequests.push_back(path);
    const auto found = bitmaps.find(path);
    if (found == bitmaps.end()) return failure("not a readable BMP picture");
    return found->second;
}

}  // namespace kelvane::platform::fake
