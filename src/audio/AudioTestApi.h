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
// The null output runs at 44100 Hz with 512-frame buffers. Timed, it pulls
// those buffers at real-time pace (like a sound card); untimed, back to back,
// so end-of-track handling can be tested quickly.

namespace velmo::audio::test {

void useNullOutput(bool untimed);
// Back to the default: the SDL2 output (driver chosen by SDL_AUDIODRIVER).
void useDeviceOutput();

}  // namespace velmo::audio::test
