#include "audio/FileChapters.h"

#include "audio/FfmpegApi.h"

namespace velmo::audio {

std::vector<FileChapter> chaptersOf(const AVFormatContext* format) {
    std::vector<FileChapter> chapters;
    for (unsigned i = 0; i < format->nb_chapters; ++i) {
        const AVChapter* chapter = format->chapters[i];
        if (chapter->start == AV_NOPTS_VALUE || chapter->time_base.den == 0)
            continue;
        const AVDictionaryEntry* title = ffmpeg().av_dict_get(chapter->metadata, "title", nullptr, 0);
        chapters.push_back({double(chapter->start) * av_q2d(chapter->time_base), title ? title->value : ""});
    }
    return chapters;
}

}  // namespace velmo::audio
