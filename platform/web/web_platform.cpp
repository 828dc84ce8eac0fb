// The web backend: the viewer in a browser page, drawing into a canvas with
// WebGL. The page's script (page.js) keeps the queue of messages its events
// make, the menu bar in HTML, the file picker and the drops; this side asks
// it for messages and carries out what the app asks. Waiting hands the
// browser back its event loop (the build uses Asyncify), so the app's loop
// and its modal dialogs stay as on the desktop.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <system_error>

#include "platform/bmp_decoder.h"
#include "platform/platform.h"

// clang-format off
EM_JS(void, pageSetMenuBar, (const char* json), { Module.page.setMenuBar(JSON.parse(UTF8ToString(json))); });
EM_JS(void, pageSetTitle, (const char* text), { Module.page.setTitle(UTF8ToString(text)); });
EM_JS(int, pageTakeMessage, (std::uint32_t* out), {
    const m = Module.page.takeMessage();
    if (!m) return 0;
    HEAPU32[out >> 2] = m[0];
    HEAPU32[(out >> 2) + 1] = m[1];
    HEAP32[(out >> 2) + 2] = m[2];
    return 1;
});
EM_JS(char*, pageTakeDroppedFiles, (), { return allocateUTF8(Module.page.takeDroppedFiles().join('\n')); });
EM_JS(int, pageCanvasWidth, (), { return Module.page.canvasSize()[0]; });
EM_JS(int, pageCanvasHeight, (), { return Module.page.canvasSize()[1]; });
EM_JS(void, pageDownload, (const char* path), { Module.page.download(UTF8ToString(path)); });
EM_ASYNC_JS(void, pageWait, (int milliseconds), { await Module.page.waitForMessage(milliseconds); });
EM_ASYNC_JS(void, pageShowMessage, (const char* caption, const char* text), {
    await Module.page.showMessage(UTF8ToString(caption), UTF8ToString(text));
});
EM_ASYNC_JS(char*, pageChooseFile, (const char* accept, const char* title), {
    const path = await Module.page.chooseFile(UTF8ToString(accept), UTF8ToString(title));
    return path ? allocateUTF8(path) : 0;
});
// clang-format on

namespace kelvane::platform {

namespace {

// Files made for the user to keep go to a fresh folder each; the browser
// downloads what a folder holds once the command that asked for it is done.
const std::filesystem::path kDownloads = "/downloads";

std::string takeJsString(char* text) {
    if (!text) return {};
    std::string s(text);
    std::free(text);
    return s;
}

// "*.EBO" -> ".ebo,.EBO": the picker's filter, either case.
std::string acceptOf(const std::string& pattern) {
    const auto dot = pattern.find('.');
    if (dot == std::string::npos) return "";
    std::string lower = pattern.substr(dot), upper = lower;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return lower + "," + upper;
}

nlohmann::json menuJson(const MenuBar& bar) {
    nlohmann::json menus = nlohmann::json::array();
    for (const Menu& menu : bar.menus) {
        nlohmann::json items = nlohmann::json::array();
        for (const MenuItem& item : menu.items)
            items.push_back({{"id", item.id},
                             {"label", item.label},
                             {"checked", item.checked},
                             {"ctrlKey", item.ctrlKey ? std::string(1, item.ctrlKey) : ""}});
        menus.push_back({{"title", menu.title}, {"items", items}});
    }
    return menus;
}

class WebPlatform;

class WebWindow final : public Window {
public:
    WebWindow(WebPlatform& platform, WindowProc procedure) : platform_(platform), procedure_(std::move(procedure)) {}

    void setMenuBar(const MenuBar& bar) override {
        // Invalid UTF-8 in a label shows as U+FFFD rather than failing.
        const std::string json = menuJson(bar).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
        pageSetMenuBar(json.c_str());
    }
    void showMessageBox(const std::string& caption, const std::string& text) override {
        pageShowMessage(caption.c_str(), text.c_str());
    }
    std::optional<std::filesystem::path> openFileDialog(const FileDialogRequest& request) override {
        const std::string path = takeJsString(pageChooseFile(acceptOf(request.pattern).c_str(), request.title.c_str()));
        if (path.empty()) return std::nullopt;
        return std::filesystem::path(path);
    }
    std::optional<std::filesystem::path> saveFileDialog(const FileDialogRequest& request) override;
    std::optional<std::filesystem::path> chooseFolderDialog(const FileDialogRequest& request) override;
    ClientSize clientSize() const override { return {pageCanvasWidth(), pageCanvasHeight()}; }
    void setTitle(const std::string& utf8) override { pageSetTitle(utf8.c_str()); }
    std::vector<std::filesystem::path> takeDroppedFiles() override {
        std::vector<std::filesystem::path> files;
        const std::string joined = takeJsString(pageTakeDroppedFiles());
        std::size_t start = 0;
        while (start < joined.size()) {
            const std::size_t end = std::min(joined.find('\n', start), joined.size());
            if (end > start) files.emplace_back(joined.substr(start, end - start));
            start = end + 1;
        }
        return files;
    }
    Outcome makeGlContext() override {
        EmscriptenWebGLContextAttributes attributes;
        emscripten_webgl_init_context_attributes(&attributes);
        // As the desktop's pixel format: no alpha in the picture, no
        // multisampling; the frame stays readable after it is shown.
        attributes.alpha = false;
        attributes.depth = true;
        attributes.stencil = false;
        attributes.antialias = false;
        attributes.preserveDrawingBuffer = true;
        attributes.majorVersion = 1;
        attributes.minorVersion = 0;
        context_ = emscripten_webgl_create_context("#canvas", &attributes);
        if (context_ <= 0) return failure("this browser gives the page no WebGL");
        emscripten_webgl_make_context_current(context_);
        return Done{};
    }
    void show() override {
        const ClientSize size = clientSize();
        send(msg::Size, 0, packPosition(size.width, size.height));
    }
    void swapBuffers() override {}  // the browser shows the canvas once the page waits
    void destroy() override { send(msg::Destroy); }

    std::intptr_t send(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) {
        return procedure_ ? procedure_(*this, message, wParam, lParam) : 0;
    }

private:
    WebPlatform& platform_;
    WindowProc procedure_;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context_ = 0;
};

// The page's files never change behind its back: nothing to look at on a
// timer, and no notice ever comes.
class QuietWatch final : public FolderWatch {
public:
    bool watch(const std::vector<std::filesystem::path>&) override { return true; }
    Notice takeNotice() override { return Notice::None; }
};

class WebPlatform final : public Platform {
public:
    Result<std::unique_ptr<Window>> createMainWindow(const std::string& title, const std::string&, int, int,
                                                     WindowProc procedure) override {
        auto window = std::make_unique<WebWindow>(*this, std::move(procedure));
        window_ = window.get();
        window->setTitle(title);
        window->send(msg::Create);
        return std::unique_ptr<Window>(std::move(window));
    }

    bool pumpMessage() override {
        offerDownloads();
        if (quit_) return false;
        std::uint32_t m[3] = {};
        if (window_ && pageTakeMessage(m)) window_->send(m[0], m[1], static_cast<std::int32_t>(m[2]));
        return !quit_;
    }

    void waitForMessage(std::optional<std::chrono::milliseconds> timeout) override {
        offerDownloads();
        if (quit_) return;
        pageWait(timeout ? static_cast<int>(std::min<long long>(timeout->count(), 1 << 30)) : -1);
    }

    FolderWatch* folderWatch() override { return &watch_; }
    void postQuit(int) override { quit_ = true; }
    bool canQuit() const override { return false; }

    Result<Bitmap> loadBitmap(const std::filesystem::path& path) override { return loadBmpFile(path); }

    // A fresh folder for files the user keeps.
    std::filesystem::path downloadFolder() {
        std::filesystem::path folder = kDownloads / std::to_string(++downloads_);
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        pending_.push_back(folder);
        return folder;
    }

private:
    // Hands every file written into a download folder to the browser, then
    // removes the folder.
    void offerDownloads() {
        for (const std::filesystem::path& folder : pending_) {
            std::error_code error;
            for (const auto& entry : std::filesystem::directory_iterator(folder, error))
                if (entry.is_regular_file(error)) pageDownload(entry.path().c_str());
            std::filesystem::remove_all(folder, error);
        }
        pending_.clear();
    }

    WebWindow* window_ = nullptr;
    QuietWatch watch_;
    std::vector<std::filesystem::path> pending_;
    int downloads_ = 0;
    bool quit_ = false;
};

std::optional<std::filesystem::path> WebWindow::saveFileDialog(const FileDialogRequest& request) {
    const std::filesystem::path name = request.initialPath.filename();
    return platform_.downloadFolder() / (name.empty() ? std::filesystem::path("kelvane") : name);
}

std::optional<std::filesystem::path> WebWindow::chooseFolderDialog(const FileDialogRequest&) {
    return platform_.downloadFolder();
}

}  // namespace

std::unique_ptr<Platform> createNativePlatform() { return std::make_unique<WebPlatform>(); }

}  // namespace kelvane::platform
