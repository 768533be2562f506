// Start-up decisions that depend only on version numbers. Portable, so they are tested
// natively.
#pragma once

// Packed common-controls versions: major << 16 | minor.
enum : unsigned {
    MinCommonControlsVersion = 0x00040047,  // 4.71; 4.70 is refused
    AlphaToolbarVersion = 0x00060000,       // 6.0: toolbars draw 32-bit images with alpha
};

// 1 Windows 95/NT 4, 2 Windows 98, 3 other 4.x, 4 Windows 2000, 5 XP, 6 other 5.x,
// 7 everything else (every later Windows).
int ClassifyOsVersion(unsigned major, unsigned minor);

unsigned PackCommonControlsVersion(unsigned major, unsigned minor);

bool CommonControlsRecentEnough(unsigned packedVersion);

// True when the 32-bit alpha toolbar strip is used, false for the 8-bit one.
bool UseAlphaToolbarBitmap(int osVersionClass, unsigned commonControlsVersion);
