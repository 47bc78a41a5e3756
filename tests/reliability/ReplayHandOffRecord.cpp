// The handoff_record fuzz target under the name ReplayHandOffRecord.
#include "FuzzReplay.h"
#define LLVMFuzzerTestOneInput ReplayHandOffRecord
#include "../fuzz/handoff_record.cpp"
