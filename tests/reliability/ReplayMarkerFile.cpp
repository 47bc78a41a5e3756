// The marker_file fuzz target under the name ReplayMarkerFile.
#include "FuzzReplay.h"
#define LLVMFuzzerTestOneInput ReplayMarkerFile
#include "../fuzz/marker_file.cpp"
