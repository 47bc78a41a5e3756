#pragma once
// Small PCM WAV files made on the spot, so tests need no stored recordings.

#include <QString>

#include <functional>

// Writes a 16-bit PCM WAV file lasting `seconds` at `rate` frames a second with
// `channels` channels. `sample(frame)` gives each frame's value, the same on
// every channel; without it the file is silent. False when it cannot be written.
bool WriteTestWav(const QString& path, double seconds, int rate, int channels,
                  const std::function<qint16(int frame)>& sample = {});
