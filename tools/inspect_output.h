#pragma once

#include <filesystem>
#include <string>

#include "common/utf8_path.h"

namespace kelvane::inspect {

// Every message to standard error starts the same way: "kelvane-inspect: ".
// Returns 1, the exit status for a problem with a file.
int complain(const std::string& message);

}  // namespace kelvane::inspect
