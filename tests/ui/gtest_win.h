// GoogleTest from a Winelib program. Debian's libgtest is a Linux build, but wineg++
// defines _WIN32, which makes gtest's headers pick the Windows port: hide it meanwhile.
#pragma once
#ifdef __WINE__
#pragma push_macro("_WIN32")
#pragma push_macro("_WIN64")
#pragma push_macro("WIN32")
#undef _WIN32
#undef _WIN64
#undef WIN32
#include <gtest/gtest.h>
#pragma pop_macro("WIN32")
#pragma pop_macro("_WIN64")
#pragma pop_macro("_WIN32")
#else
#include <gtest/gtest.h>
#endif
