#include "app/product.h"

const char ProductWebAddress[] = "https://www.quorrel.com/tolvane";
