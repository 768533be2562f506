#include "model/product.h"

const char ProductName[] = "Tolvane";
const char ProductWebAddress[] = "https://www.quorrel.com/tolvane";
const char ProductVersionText[] = "Tolvane 2.0";
const char CompanyName[] = "Quorrel, Inc.";
