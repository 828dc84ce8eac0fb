#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kelvane {

// What went wrong: while reading a file, with where (offset and field); for
// any other failure (a window, a GL context, a decoder) the words alone, with
// no field. kelvane-inspect prints it; the viewers put it in the window
// title and on standard error. It is the failure every Result carries.
struct ReadProblem {
    std::uint64_t offset = 0;  // absolute byte offset in the file
    std::string field;         // which field was being read ("section head", ...)
    std::string what;          // what was wrong with it
    // Nothing came from the file: it could not be opened, was rejected
    // before anything was read, or (an archive) gave not one image. The
    // viewers then go on naming and following the file shown before.
    bool refused = false;

    std::string describe() const;
};

// The file readers fill their store as far as the file allows and go on
// after a problem, so they report the first one beside their result.
using ProblemSink = std::optional<ReadProblem>*;

inline void reportProblem(ProblemSink sink, ReadProblem problem) {
    if (sink && !sink->has_value()) *sink = std::move(problem);
}

}  // namespace kelvane
