// The time_text fuzz target under the name ReplayTimeText.
#include "FuzzReplay.h"
#define LLVMFuzzerTestOneInput ReplayTimeText
#include "../fuzz/time_text.cpp"
