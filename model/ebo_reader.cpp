#include "model/ebo_reader.h"

namespace kelvane {

// Placeholder until the reader lands.
std::int32_t loadEbo(Scene&, const std::filesystem::path&, ProblemSink) { return 1; }

}  // namespace kelvane
