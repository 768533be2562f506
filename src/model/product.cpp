#include "model/product.h"

const char ProductName[] = "Tolvane";
const char ProductWebAddress[] = "https://www.quorrel.com/tolvane";
