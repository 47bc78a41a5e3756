#pragma once
// Test-only switches of the audio library. Not a user option: only tests call
// these. Call before BASS_Init; BASS_Init uses the selected output until the
// selection changes.
//
//   velmo::audio::test::useNullOutput(true);   // untimed: a 10 s file "plays"
//   BASS_Init(-1, 44100, 0, nullptr, nullptr); // in milliseconds; end syncs,
//   ...                                        // positions and levels behave
//   BASS_Free();                               // as with a real device
//   velmo::audio::test::useDeviceOutput();
//
// The null output runs at the rate BASS_Init asks for with 512-frame
// buffers. Timed, it pulls those buffers at real-time pace (like a sound
// card); untimed, back to back, so end-of-track handling can be tested
// quickly; stepped, only when a test calls stepNullOutput.

#include <vector>

namespace velmo::audio::test {

void useNullOutput(bool untimed);
void useSteppedNullOutput();
// Back to the default: the SDL2 output (driver chosen by SDL_AUDIODRIVER).
void useDeviceOutput();
// The null output's latency from the next BASS_Init on: seconds until the
// last frame of a buffer is heard. Negative: the default (one buffer at
// real-time pace, none otherwise).
void setNullOutputLatency(double seconds);

// With the stepped null output started: pulls `buffers` 512-frame buffers
// on the calling thread, each once the streams' decoders have caught up (a
// device that never outruns them).
void stepNullOutput(int buffers);
// With the stepped null output started: the interleaved stereo frames it
// was handed while a stream played, since BASS_Init or the previous call.
std::vector<float> takeNullOutputTap();

// With a timed null output started: whether it is pulling buffers now (it
// sleeps once nothing has played for a while).
bool nullOutputPulling();

// The next `count` decoder seeks of any stream move the decoder to frame
// `strayFrame` and then fail, as a demuxer that lost its way does.
void failNextSeeks(int count, long long strayFrame);

// While held, every read of a stream's decoder waits, as on a file whose
// reads stall; released, they go on.
void holdDecoderReads(bool hold);

}  // namespace velmo::audio::test
