// The profile_file fuzz target under the name ReplayProfileFile.
#include "FuzzReplay.h"
#define LLVMFuzzerTestOneInput ReplayProfileFile
#include "../fuzz/profile_file.cpp"
