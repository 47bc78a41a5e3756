#include "audio/bass.h"

// The effects' interface version: 2.4 in the high word.
DWORD BASS_FX_GetVersion() { return 0x02040000u; }
