#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "common/file_kind.h"
#include "app/viewer.h"
#include "common/read_problem.h"
#include "common/result.h"

namespace kelvane {

// A reader's problem in the words kelvane-inspect prints for it.
std::string problemText(const ReadProblem& problem);

// Why `path` did not read cleanly as `kind` in the viewer's generation:
// the problem's words, and a word on the other generation when its reader
// takes the file cleanly.
std::string failureReason(Generation generation, FileKind kind, const std::filesystem::path& path,
                          const ReadProblem& problem);

// Says what a load did: when the stores now hold what the file gave
// (`replacesShown`: every load but a refused one or a failed reload) the
// title names it among the files shown; on failure the title also says
// which file and why (failureReason), and so does one line on standard error.
void reportLoad(Viewer& viewer, FileKind kind, const std::filesystem::path& path, const Outcome& outcome,
                bool replacesShown = true);

// Says that writing `path` failed and why, in the title (until the next
// load) and as one line on standard error, as a failed load is reported.
void reportWriteFailure(Viewer& viewer, const std::filesystem::path& path, const std::string& reason);

// The outcome of a reader that reports its first problem through a sink.
inline Outcome outcomeOf(const std::optional<ReadProblem>& problem) {
    if (problem) return *problem;
    return Done{};
}

}  // namespace kelvane
