// The playlist_file fuzz target under the name ReplayPlaylistFile.
#include "FuzzReplay.h"
#define LLVMFuzzerTestOneInput ReplayPlaylistFile
#include "../fuzz/playlist_file.cpp"
