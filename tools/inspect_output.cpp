#include "tools/inspect_output.h"

#include <cstdio>

namespace kelvane::inspect {

int complain(const std::string& message) {
    std::fprintf(stderr, "kelvane-inspect: %s\n", message.c_str());
    return 1;
}

std::string fileProblem(const std::filesystem::path& path, const ReadProblem& problem) {
    return utf8Text(path) + ": " + (problem.field.empty() ? problem.what : problem.describe());
}

}  // namespace kelvane::inspect
