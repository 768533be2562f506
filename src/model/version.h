// The product's name, version and maker as macros: read by the C++ code (product.cpp)
// and by the resource compiler (the version resource and the About box), which knows
// no C++ constants.
#pragma once

#define TOLVANE_NAME "Tolvane"
#define TOLVANE_VERSION_MAJOR 2
#define TOLVANE_VERSION_MINOR 0
#define TOLVANE_VERSION "2.0"
#define TOLVANE_COMPANY "Quorrel, Inc."
