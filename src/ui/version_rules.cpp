#include "ui/version_rules.h"

int ClassifyOsVersion(unsigned major, unsigned minor)
{
    if (major == 4) return minor == 0 ? 1 : minor == 10 ? 2 : 3;
    if (major == 5) return minor == 0 ? 4 : minor == 1 ? 5 : 6;
    return 7;
}

unsigned PackCommonControlsVersion(unsigned major, unsigned minor)
{
    return (major & 0xFFFF) << 16 | (minor & 0xFFFF);
}

bool CommonControlsRecentEnough(unsigned packedVersion)
{
    return packedVersion >= MinCommonControlsVersion;
}

bool UseAlphaToolbarBitmap(int osVersionClass, unsigned commonControlsVersion)
{
    return osVersionClass >= 5 && commonControlsVersion >= AlphaToolbarVersion;
}
