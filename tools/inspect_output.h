#pragma once

#include <filesystem>
#include <string>

#include "common/generation.h"
#include "common/read_problem.h"
#include "common/utf8_path.h"

namespace kelvane::inspect {

// Every message to standard error starts the same way: "kelvane-inspect: ".
// Returns 1, the exit status for a problem with a file.
int complain(const std::string& message);

// The generation a command reads as: --legacy or not.
inline Generation generationOf(bool legacy) { return legacy ? Generation::Legacy : Generation::Current; }

// The file's name and what is wrong with it, in one line.
std::string fileProblem(const std::filesystem::path& path, const ReadProblem& problem);

}  // namespace kelvane::inspect
