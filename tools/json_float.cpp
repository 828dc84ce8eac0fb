#include "tools/json_float.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace kelvane::inspect {

nlohmann::ordered_json jsonFloat(float value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    // JSON numbers are doubles: take the double nearest to the float's
    // shortest decimal form, which the JSON writer prints in that form. Fall
    // back to the exact value if that double would not round to the float.
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text - 1, value).ptr;
    *end = '\0';
    const double shortest = std::strtod(text, nullptr);
    if (std::bit_cast<std::uint32_t>(static_cast<float>(shortest)) == std::bit_cast<std::uint32_t>(value))
        return shortest;
    return static_cast<double>(value);
}

}  // namespace kelvane::inspect
