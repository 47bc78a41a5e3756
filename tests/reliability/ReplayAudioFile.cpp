// The audio_file fuzz target under the name ReplayAudioFile.
#include "FuzzReplay.h"
#define LLVMFuzzerTestOneInput ReplayAudioFile
#include "../fuzz/audio_file.cpp"
