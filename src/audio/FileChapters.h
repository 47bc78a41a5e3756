#pragma once
// The chapters a file carries (MP4 chapters, ID3v2 CHAP frames in MP3,
// CHAPTERxx comments in Ogg and FLAC), as libavformat found them on open.

#include <string>
#include <vector>

struct AVFormatContext;

namespace velmo::audio {

struct FileChapter {
    double start = 0;   // seconds from the start of the file
    std::string title;  // UTF-8; empty when the chapter has none
};

// The chapters of an opened input, in the file's order. Chapters without a
// start time are left out.
std::vector<FileChapter> chaptersOf(const AVFormatContext* format);

}  // namespace velmo::audio
