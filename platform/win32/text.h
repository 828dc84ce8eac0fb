#pragma once

// Text as the Win32 API wants it. The app hands the backend UTF-8.
#include <string>
#include <vector>

namespace kelvane::platform::win32 {

// Menu labels treat '&' as the mnemonic marker; doubling it shows it as is.
std::string escapeMenuMnemonics(const std::string& label);

// Widens UTF-8 to UTF-16; invalid sequences become U+FFFD (Windows only).
std::wstring toUtf16(const std::string& utf8);

// Narrows UTF-16 to UTF-8; unpaired surrogates become U+FFFD (Windows only).
std::string toUtf8(const std::wstring& utf16);

// The program's command line as UTF-8 arguments, its own name first, read
// as UTF-16 from the system: argv holds them in the ANSI code page, which
// cannot name every file (Windows only).
std::vector<std::string> commandLineArguments();

}  // namespace kelvane::platform::win32
