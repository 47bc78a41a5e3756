// The marker_exchange fuzz target under the name ReplayMarkerExchange.
#include "FuzzReplay.h"
#define LLVMFuzzerTestOneInput ReplayMarkerExchange
#include "../fuzz/marker_exchange.cpp"
