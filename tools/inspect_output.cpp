#include "tools/inspect_output.h"

#include <cstdio>

namespace kelvane::inspect {

int complain(const std::string& message) {
    std::fprintf(stderr, "kelvane-inspect: %s\n", message.c_str());
    return 1;
}

}  // namespace kelvane::inspect
