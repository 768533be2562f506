#include "model/product.h"

#include "model/version.h"

const char ProductName[] = TOLVANE_NAME;
const char ProductWebAddress[] = "https://www.quorrel.com/tolvane";
const char ProductVersionText[] = TOLVANE_NAME " " TOLVANE_VERSION;
const char CompanyName[] = TOLVANE_COMPANY;
