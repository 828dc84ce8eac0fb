// Stands in for Explorer: finds the thumbnail handler registered for each
// file's extension in HKCU, creates it through COM, hands it the file as a
// stream and writes the bitmap it returns as raw RGBA (straight alpha, top
// row first). One process for all the files, so a bad file must leave it
// running.
// Usage: kelvane-thumbnail-host.exe SIZE FILE OUT.rgba [FILE OUT.rgba]...
// Prints "FILE: drawn", or "FILE: failed 0x..." with the HRESULT.
#include <windows.h>
#include <objbase.h>
#include <propsys.h>
#include <shlwapi.h>
#include <thumbcache.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

const wchar_t kProviderKey[] = L"\\ShellEx\\{e357fccd-a995-4576-b01f-234630154e96}";

std::wstring readString(const std::wstring& key, const wchar_t* value) {
    wchar_t data[MAX_PATH * 2] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), value, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return {};
    return data;
}

// Wine's COM reads classes from HKLM only; Windows merges HKCU's in. Where
// CoCreateInstance does not find the class, do what it does on Windows with
// the same keys: the InprocServer32 DLL's class object.
HRESULT createHandler(const CLSID& clsid, const std::wstring& clsidText, IInitializeWithStream** handler) {
    HRESULT result = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(handler));
    if (result != REGDB_E_CLASSNOTREG) return result;
    const std::wstring server = L"Software\\Classes\\CLSID\\" + clsidText + L"\\InprocServer32";
    if (readString(server, L"ThreadingModel") != L"Apartment") return REGDB_E_CLASSNOTREG;
    HMODULE dll = LoadLibraryW(readString(server, nullptr).c_str());
    if (!dll) return HRESULT_FROM_WIN32(GetLastError());
    using GetClassObject = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
    if (!get) return E_NOINTERFACE;
    IClassFactory* factory = nullptr;
    if (result = get(clsid, IID_PPV_ARGS(&factory)); FAILED(result)) return result;
    result = factory->CreateInstance(nullptr, IID_PPV_ARGS(handler));
    factory->Release();
    return result;
}

HRESULT thumbnail(const std::wstring& file, UINT size, std::vector<unsigned char>& rgba) {
    const std::wstring extension = PathFindExtensionW(file.c_str());
    const std::wstring clsidText = readString(L"Software\\Classes\\" + extension + kProviderKey, nullptr);
    CLSID clsid{};
    if (clsidText.empty() || FAILED(CLSIDFromString(clsidText.c_str(), &clsid))) return REGDB_E_CLASSNOTREG;
    IInitializeWithStream* handler = nullptr;
    HRESULT result = createHandler(clsid, clsidText, &handler);
    if (FAILED(result)) return result;
    IStream* stream = nullptr;
    result = SHCreateStreamOnFileEx(file.c_str(), STGM_READ | STGM_SHARE_DENY_WRITE, 0, FALSE, nullptr, &stream);
    if (SUCCEEDED(result)) {
        result = handler->Initialize(stream, STGM_READ);
        stream->Release();
    }
    IThumbnailProvider* provider = nullptr;
    if (SUCCEEDED(result)) result = handler->QueryInterface(IID_PPV_ARGS(&provider));
    handler->Release();
    if (FAILED(result)) return result;
    HBITMAP bitmap = nullptr;
    WTS_ALPHATYPE alpha = WTSAT_UNKNOWN;
    result = provider->GetThumbnail(size, &bitmap, &alpha);
    provider->Release();
    if (FAILED(result)) return result;
    DIBSECTION dib{};
    const bool shaped = GetObjectW(bitmap, sizeof dib, &dib) == sizeof dib && alpha == WTSAT_ARGB &&
                        dib.dsBm.bmBits && dib.dsBmih.biBitCount == 32 && dib.dsBm.bmWidth == LONG(size) &&
                        dib.dsBm.bmHeight == LONG(size);  // top row first: the pictures compared show it
    if (shaped) {
        const auto* bgra = static_cast<const unsigned char*>(dib.dsBm.bmBits);
        rgba.resize(std::size_t(size) * size * 4);
        for (std::size_t i = 0; i < rgba.size(); i += 4) {
            rgba[i] = bgra[i + 2];
            rgba[i + 1] = bgra[i + 1];
            rgba[i + 2] = bgra[i];
            rgba[i + 3] = bgra[i + 3];
        }
    }
    DeleteObject(bitmap);
    return shaped ? S_OK : E_UNEXPECTED;  // not the 32-bit top-down ARGB DIB Explorer takes
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4 || argc % 2) {
        std::fprintf(stderr, "usage: kelvane-thumbnail-host SIZE FILE OUT.rgba [FILE OUT.rgba]...\n");
        return 2;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
    const UINT size = UINT(std::wcstoul(argv[1], nullptr, 10));
    for (int i = 2; i + 1 < argc; i += 2) {
        std::vector<unsigned char> rgba;
        const HRESULT result = thumbnail(argv[i], size, rgba);
        if (SUCCEEDED(result)) std::ofstream(argv[i + 1], std::ios::binary).write(reinterpret_cast<const char*>(rgba.data()), std::streamsize(rgba.size()));
        std::printf("%ls: ", argv[i]);
        if (SUCCEEDED(result))
            std::printf("drawn\n");
        else
            std::printf("failed 0x%08lX\n", static_cast<unsigned long>(result));
    }
    CoUninitialize();
    return 0;
}
