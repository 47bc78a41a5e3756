#pragma once
// Where a stream is playing, in seconds.

#include "audio/bass.h"

// The play position of channel in seconds, as the audio library reports it
// (-1 when channel is no stream).
double PlayPositionSeconds(DWORD channel);
