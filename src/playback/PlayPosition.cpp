#include "playback/PlayPosition.h"

double PlayPositionSeconds(DWORD channel) {
    return BASS_ChannelBytes2Seconds(channel, BASS_ChannelGetPosition(channel, BASS_POS_BYTE));
}
