#pragma once
// File names handed to the library as UTF-16 are turned into the file
// system's encoding (UTF-8 on Linux) before FFmpeg opens them.

#include <optional>
#include <string>

namespace velmo::audio {

// Converts a NUL-terminated UTF-16 string. Returns nothing for a string with
// an unpaired surrogate, which can name no file.
std::optional<std::string> utf16ToFileName(const char16_t* text);

}  // namespace velmo::audio
