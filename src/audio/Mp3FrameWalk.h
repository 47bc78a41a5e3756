#pragma once
// MPEG audio (MP3, and layers I and II): the exact length from the
// Xing/Info frame count with the LAME tag's delay and padding, or from a
// walk over the frame headers (no decoding), which also gives a seek table.

#include "audio/ContainerLength.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace velmo::audio {

// The frames FFmpeg's decode yields: from the Xing/Info frame count when the
// tag agrees with the file's size, else from a walk over every frame header.
// With `eachFrame` the walk is
// always made, and it is told the byte offset of every audio frame and the
// index of its first sample counted from the start of the stream: a seek
// table.
struct Mp3Facts {
    int64_t frames = 0;          // the decode's frames, delay and padding trimmed
    int samplesPerFrame = 0;     // per MPEG frame
    bool walked = false;         // counted by a walk over the frame headers
};
using Mp3FrameVisitor = std::function<void(uint64_t offset, int64_t firstSample)>;
std::optional<Mp3Facts> mp3Frames(const MappedFile& file, const Mp3FrameVisitor& eachFrame = nullptr);

}  // namespace velmo::audio
