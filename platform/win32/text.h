#pragma once

// Text as the Win32 API wants it. The app hands the backend UTF-8.
#include <string>

namespace kelvane::platform::win32 {

// Menu labels treat '&' as the mnemonic marker; doubling it shows it as is.
std::string escapeMenuMnemonics(const std::string& label);

// Widens UTF-8 to UTF-16; invalid sequences become U+FFFD (Windows only).
std::wstring toUtf16(const std::string& utf8);

// Narrows UTF-16 to UTF-8; unpaired surrogates become U+FFFD (Windows only).
std::string toUtf8(const std::wstring& utf16);

}  // namespace kelvane::platform::win32
