#include "platform/win32/thumbnail_provider.h"

#include <objidl.h>
#include <propsys.h>
#include <thumbcache.h>
#include <unknwn.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <utility>

namespace kelvane::platform::win32 {

namespace {

// Objects and server locks alive: the DLL stays loaded while any is.
std::atomic<long> liveCount{0};

// Reference counting shared by both classes.
template <typename Self>
class Counted {
public:
    Counted() { ++liveCount; }
    virtual ~Counted() { --liveCount; }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;

protected:
    ULONG addRef() { return ++references_; }
    ULONG release() {
        const ULONG left = --references_;
        if (left == 0) delete static_cast<Self*>(this);
        return left;
    }

private:
    std::atomic<ULONG> references_{1};
};

// The whole stream, from its start; a failure HRESULT for a stream that
// cannot say its size, is too large, or ends early.
HRESULT readStream(IStream* stream, std::vector<std::uint8_t>& bytes) {
    STATSTG stat{};
    HRESULT result = stream->Stat(&stat, STATFLAG_NONAME);
    if (FAILED(result)) return result;
    if (stat.cbSize.QuadPart > kThumbnailMaxBytes) return E_OUTOFMEMORY;
    const LARGE_INTEGER start{};
    if (result = stream->Seek(start, STREAM_SEEK_SET, nullptr); FAILED(result)) return result;
    try {
        bytes.resize(static_cast<std::size_t>(stat.cbSize.QuadPart));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        ULONG got = 0;
        const ULONG want = static_cast<ULONG>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        result = stream->Read(bytes.data() + done, want, &got);
        if (FAILED(result)) return result;
        if (got == 0) return E_FAIL;  // shorter than it said
        done += got;
    }
    return S_OK;
}

// A 32-bit top-down DIB section of the picture: BGRA, straight alpha, as
// WTSAT_ARGB asks.
HBITMAP bitmapOf(const std::vector<std::uint8_t>& rgba, int size) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) return nullptr;
    auto* out = static_cast<std::uint8_t*>(bits);
    for (std::size_t i = 0; i + 3 < rgba.size(); i += 4) {
        out[i] = rgba[i + 2];
        out[i + 1] = rgba[i + 1];
        out[i + 2] = rgba[i];
        out[i + 3] = rgba[i + 3];
    }
    return bitmap;
}

class ThumbnailProvider final : public IInitializeWithStream, public IThumbnailProvider, public Counted<ThumbnailProvider> {
public:
    ThumbnailProvider(FileKind kind, ThumbnailDraw draw) : kind_(kind), draw_(draw) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(IInitializeWithStream)))
            *object = static_cast<IInitializeWithStream*>(this);
        else if (IsEqualIID(iid, __uuidof(IThumbnailProvider)))
            *object = static_cast<IThumbnailProvider*>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        addRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return addRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return release(); }

    // Reads the file now: the stream is only lent for this call.
    HRESULT STDMETHODCALLTYPE Initialize(IStream* stream, DWORD) override {
        if (!stream) return E_POINTER;
        if (initialized_) return HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED);
        const HRESULT result = readStream(stream, bytes_);
        if (FAILED(result)) {
            bytes_.clear();
            return result;
        }
        initialized_ = true;
        return S_OK;
    }

    // Every reader bounds its work by the file's bytes (at most 64 MiB), so
    // the draw ends on its own: no watchdog is needed.
    HRESULT STDMETHODCALLTYPE GetThumbnail(UINT cx, HBITMAP* bitmap, WTS_ALPHATYPE* alpha) override {
        if (!bitmap || !alpha) return E_POINTER;
        *bitmap = nullptr;
        if (!initialized_) return E_UNEXPECTED;
        if (cx < 1 || cx > 2048) return E_INVALIDARG;
        const int size = static_cast<int>(cx);
        try {
            const auto rgba = draw_(kind_, bytes_, size);
            if (!rgba || rgba->size() != std::size_t(size) * size * 4) return E_FAIL;
            *bitmap = bitmapOf(*rgba, size);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_FAIL;  // never into the host
        }
        if (!*bitmap) return E_OUTOFMEMORY;
        *alpha = WTSAT_ARGB;
        return S_OK;
    }

private:
    FileKind kind_;
    ThumbnailDraw draw_;
    bool initialized_ = false;
    std::vector<std::uint8_t> bytes_;
};

class ClassFactory final : public IClassFactory, public Counted<ClassFactory> {
public:
    ClassFactory(FileKind kind, ThumbnailDraw draw) : kind_(kind), draw_(draw) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IClassFactory*>(this);
        addRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return addRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return release(); }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* provider = new (std::nothrow) ThumbnailProvider(kind_, draw_);
        if (!provider) return E_OUTOFMEMORY;
        const HRESULT result = provider->QueryInterface(iid, object);
        provider->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            ++liveCount;
        else
            --liveCount;
        return S_OK;
    }

private:
    FileKind kind_;
    ThumbnailDraw draw_;
};

}  // namespace

HRESULT thumbnailClassObject(REFCLSID clsid, REFIID iid, void** object, const ThumbnailClass* classes, int count,
                             ThumbnailDraw draw) {
    if (!object) return E_POINTER;
    *object = nullptr;
    for (int i = 0; i < count; ++i) {
        if (!IsEqualCLSID(clsid, classes[i].clsid)) continue;
        auto* factory = new (std::nothrow) ClassFactory(classes[i].kind, draw);
        if (!factory) return E_OUTOFMEMORY;
        const HRESULT result = factory->QueryInterface(iid, object);
        factory->Release();
        return result;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT thumbnailCanUnloadNow() { return liveCount == 0 ? S_OK : S_FALSE; }

}  // namespace kelvane::platform::win32
