// Product facts shown to the user and written into every PDF. Portable.
#pragma once

extern const char ProductName[];        // "Tolvane"
extern const char ProductWebAddress[];  // the product's web site
