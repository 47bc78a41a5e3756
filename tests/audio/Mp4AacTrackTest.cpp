// Plain AAC in MP4 is read from the file's own sample tables; what that
// reader does not know (other codecs, chapters) is left to FFmpeg's. The
// corpus tests check that both decode exactly as FFmpeg does.

#include "AudioTestSupport.h"
#include "audio/Mp4AacTrack.h"

#include <gtest/gtest.h>

using namespace audiotest;

namespace {

TEST(Mp4AacTrack, TakesPlainAacAndLeavesTheRestToFfmpeg) {
    const std::string corpus = std::string(VELMO_CORPUS_DIR) + "/";
    const struct {
        std::string path;
        bool ours;
        int rate;
        int channels;
    } cases[] = {
        {corpus + "aac.m4a", true, 44100, 2},
        {corpus + "aac-mono48.mp4", true, 48000, 1},
        {corpus + "aac-priming2112.m4a", true, 44100, 2},
        {corpus + "aac-5.1.m4a", true, 44100, 6},
        {corpus + "alac.m4a", false, 0, 0},
        {fixture("chapters.m4a"), false, 0, 0},
        {fixture("tone-stereo-44100.mp3"), false, 0, 0},
    };
    for (const auto& c : cases) {
        const auto track = velmo::audio::Mp4AacTrack::open(c.path);
        EXPECT_EQ(track != nullptr, c.ours) << c.path;
        if (track && c.ours) {
            EXPECT_EQ(track->rate(), c.rate) << c.path;
            EXPECT_EQ(track->channels(), c.channels) << c.path;
        }
    }
}

}  // namespace
