// What the library reports for each format: rate, channels, exact length
// (equal to what a full decode yields) and the sample-format flags.

#include "AudioTestSupport.h"

#include <gtest/gtest.h>

using namespace audiotest;

namespace {

struct FormatCase {
    const char* file;
    DWORD rate;
    DWORD channels;
    QWORD frames;  // exact length: the frames FFmpeg's own decode yields
    DWORD decodeFlags;
};

const FormatCase kFormats[] = {
    {"tone-stereo-44100.mp3", 44100, 2, 44100, 0},
    {"tone-stereo-44100.wav", 44100, 2, 44100, 0},
    // FFmpeg's Vorbis decoder keeps the first packet's 128 frames to itself.
    {"tone-mono-48000.ogg", 48000, 1, 47872, 0},
    // WMA has no trimming information: whole 2048-frame blocks.
    {"tone-stereo-44100.wma", 44100, 2, 43008, 0},
    {"tone-mono-22050.flac", 22050, 1, 22050, 0},
    // AAC in MP4: the priming is trimmed, the padding of the last
    // 1024-frame block is not (FFmpeg's decode keeps it too).
    {"tone-stereo-44100.m4a", 44100, 2, 45056, 0},
    {"tone-mono-48000.mp4", 48000, 1, 48128, 0},
    // No Xing header: the container's estimate is wrong, the prescan is not.
    {"vbr-noxing.mp3", 44100, 1, 89856, 0},
    {"silence-mono-8000-u8.wav", 8000, 1, 4000, BASS_SAMPLE_8BITS},
};

class FormatFacts : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatFacts, PrescanLengthEqualsFullDecode) {
    const FormatCase& c = GetParam();
    const HSTREAM h = open(fixture(c.file), BASS_STREAM_DECODE | BASS_STREAM_PRESCAN | BASS_SAMPLE_FLOAT);
    ASSERT_NE(h, 0u) << BASS_ErrorGetCode();
    BASS_CHANNELINFO info{};
    ASSERT_TRUE(BASS_ChannelGetInfo(h, &info));
    EXPECT_EQ(info.freq, c.rate);
    EXPECT_EQ(info.chans, c.channels);
    EXPECT_EQ(bytesToFrames(h, BASS_ChannelGetLength(h, BASS_POS_BYTE)), c.frames);
    EXPECT_EQ(decodeRest(h).size(), c.frames * c.channels);
    EXPECT_NEAR(BASS_ChannelBytes2Seconds(h, BASS_ChannelGetLength(h, BASS_POS_BYTE)), double(c.frames) / c.rate, 1e-9);
    BASS_StreamFree(h);
}

TEST_P(FormatFacts, DecodeOnlyInfoReportsTheStoredSampleFormat) {
    const FormatCase& c = GetParam();
    const HSTREAM h = open(fixture(c.file), BASS_STREAM_DECODE);
    ASSERT_NE(h, 0u) << BASS_ErrorGetCode();
    BASS_CHANNELINFO info{};
    ASSERT_TRUE(BASS_ChannelGetInfo(h, &info));
    EXPECT_EQ(info.freq, c.rate);
    EXPECT_EQ(info.chans, c.channels);
    EXPECT_EQ(info.flags & (BASS_SAMPLE_8BITS | BASS_SAMPLE_FLOAT), c.decodeFlags);
    EXPECT_TRUE(info.flags & BASS_STREAM_DECODE);
    // Without a prescan the length is the container's estimate: close.
    const double seconds = BASS_ChannelBytes2Seconds(h, BASS_ChannelGetLength(h, BASS_POS_BYTE));
    EXPECT_NEAR(seconds, double(c.frames) / c.rate, 0.05);
    BASS_StreamFree(h);
}

INSTANTIATE_TEST_SUITE_P(EachFormat, FormatFacts, ::testing::ValuesIn(kFormats),
                         [](const auto& info) {
                             std::string name = info.param.file;
                             for (char& ch : name)
                                 if (!isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

TEST(FormatFacts, PlayingStreamReportsFloatSamples) {
    NullOutputSession session(true);
    ASSERT_TRUE(session.started);
    const HSTREAM h = open(fixture("tone-stereo-44100.mp3"), BASS_STREAM_PRESCAN | BASS_SAMPLE_FLOAT);
    ASSERT_NE(h, 0u);
    BASS_CHANNELINFO info{};
    ASSERT_TRUE(BASS_ChannelGetInfo(h, &info));
    EXPECT_EQ(info.flags & (BASS_SAMPLE_FLOAT | BASS_SAMPLE_8BITS | BASS_STREAM_DECODE), BASS_SAMPLE_FLOAT);
    EXPECT_EQ(BASS_FX_GetVersion() >> 16, 0x0204u);
    BASS_StreamFree(h);
}

}  // namespace
