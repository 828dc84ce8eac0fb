#pragma once

namespace kelvane {

// The two generations of the game's files. One library serves both; each
// program's entry file picks its generation and hands it down.
enum class Generation { Current, Legacy };

inline const char* generationName(Generation g) {
    return g == Generation::Legacy ? "legacy" : "current";
}

}  // namespace kelvane
