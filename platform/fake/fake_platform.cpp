// Placeholder until the fake backend lands.
#include "platform/platform.h"
