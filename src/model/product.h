// The product's own names and addresses, kept in one place.
#pragma once

extern const char ProductName[];        // "Tolvane"
extern const char ProductWebAddress[];  // the product's web site
