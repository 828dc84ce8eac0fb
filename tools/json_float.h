#pragma once

#include <nlohmann/json.hpp>

namespace kelvane::inspect {

// A 32-bit float as JSON: a number that reads back as the same float (in
// its shortest form, so 0.1f prints as 0.1), or "nan", "inf", "-inf".
nlohmann::ordered_json jsonFloat(float value);

}  // namespace kelvane::inspect
