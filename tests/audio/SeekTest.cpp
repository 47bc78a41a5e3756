// Seeking is sample exact: the frames after SetPosition(t) are the frames
// at t of a decode from the start, in every format.

#include "AudioTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace audiotest;

namespace {

const char* const kFiles[] = {
    "tone-stereo-44100.mp3", "vbr-noxing.mp3",        "tone-stereo-44100.wav", "tone-mono-48000.ogg",
    "tone-stereo-44100.wma", "tone-mono-22050.flac",  "tone-stereo-44100.m4a", "tone-mono-48000.mp4",
};

class SampleExactSeek : public ::testing::TestWithParam<const char*> {};

TEST_P(SampleExactSeek, FramesAfterSeekEqualDecodeFromStart) {
    const std::string path = fixture(GetParam());
    const HSTREAM whole = open(path, BASS_STREAM_DECODE | BASS_STREAM_PRESCAN | BASS_SAMPLE_FLOAT);
    ASSERT_NE(whole, 0u);
    const int chans = channelsOf(whole);
    const std::vector<float> reference = decodeRest(whole);
    const QWORD frames = reference.size() / chans;
    BASS_StreamFree(whole);

    const HSTREAM h = open(path, BASS_STREAM_DECODE | BASS_STREAM_PRESCAN | BASS_SAMPLE_FLOAT);
    ASSERT_NE(h, 0u);
    // Forwards and backwards, on and off frame boundaries, near both ends.
    for (QWORD target : {frames / 2, QWORD(1), frames * 37 / 100, QWORD(0), frames * 81 / 100, frames - 300,
                         QWORD(1152 * 7 + 5)}) {
        SCOPED_TRACE(target);
        ASSERT_TRUE(BASS_ChannelSetPosition(h, framesToBytes(h, target), BASS_POS_BYTE));
        EXPECT_EQ(BASS_ChannelGetPosition(h, BASS_POS_BYTE), framesToBytes(h, target));
        const std::vector<float> got = decodeRest(h, 1000);
        const size_t expected = std::min<QWORD>(1000, frames - target) * chans;
        ASSERT_EQ(got.size(), expected);
        for (size_t i = 0; i < got.size(); ++i)
            ASSERT_EQ(got[i], reference[target * chans + i]) << "sample " << i;
    }
    // The end itself is a valid position; beyond it is not.
    EXPECT_TRUE(BASS_ChannelSetPosition(h, framesToBytes(h, frames), BASS_POS_BYTE));
    EXPECT_TRUE(decodeRest(h).empty());
    EXPECT_FALSE(BASS_ChannelSetPosition(h, framesToBytes(h, frames + 1), BASS_POS_BYTE));
    BASS_StreamFree(h);
}

INSTANTIATE_TEST_SUITE_P(EachFormat, SampleExactSeek, ::testing::ValuesIn(kFiles), [](const auto& info) {
    std::string name = info.param;
    for (char& ch : name)
        if (!isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return name;
});

// A seek that fails inside the decoder keeps the old position, and what
// plays next is what follows it. Chained Ogg seeks by opening the file
// again; once the file is gone that fails.
TEST(FailedSeek, KeepsTheOldPositionAndWhatFollowsIt) {
    namespace fs = std::filesystem;
    const fs::path copy = fs::temp_directory_path() / ("velmo-failed-seek-" + std::to_string(getpid()) + ".ogg");
    fs::copy_file(std::string(VELMO_CORPUS_DIR) + "/vorbis-chained.ogg", copy, fs::copy_options::overwrite_existing);
    const DWORD flags = BASS_STREAM_DECODE | BASS_STREAM_PRESCAN | BASS_SAMPLE_FLOAT;
    const HSTREAM whole = open(copy.string(), flags);
    ASSERT_NE(whole, 0u);
    const int chans = channelsOf(whole);
    const std::vector<float> reference = decodeRest(whole);
    BASS_StreamFree(whole);

    const HSTREAM h = open(copy.string(), flags);
    ASSERT_NE(h, 0u);
    constexpr QWORD kPlayed = 4096;  // whole reads of decodeRest
    ASSERT_EQ(decodeRest(h, kPlayed).size(), kPlayed * chans);
    fs::remove(copy);
    EXPECT_FALSE(BASS_ChannelSetPosition(h, framesToBytes(h, reference.size() / chans / 2), BASS_POS_BYTE));
    EXPECT_EQ(BASS_ChannelGetPosition(h, BASS_POS_BYTE), framesToBytes(h, kPlayed));
    const std::vector<float> next = decodeRest(h, 2000);
    ASSERT_EQ(next.size(), 2000u * chans);
    for (size_t i = 0; i < next.size(); ++i)
        ASSERT_EQ(next[i], reference[kPlayed * chans + i]) << "sample " << i;
    BASS_StreamFree(h);
}

TEST(SecondsAndBytes, RoundTripStaysOnTheFrame) {
    const HSTREAM h = open(fixture("tone-mono-48000.ogg"), BASS_STREAM_DECODE | BASS_STREAM_PRESCAN);
    ASSERT_NE(h, 0u);
    for (QWORD frame : {0ull, 1ull, 14399ull, 47871ull}) {
        const QWORD bytes = framesToBytes(h, frame);
        EXPECT_EQ(BASS_ChannelSeconds2Bytes(h, BASS_ChannelBytes2Seconds(h, bytes)), bytes);
    }
    EXPECT_EQ(BASS_ChannelSeconds2Bytes(h, 0.5), framesToBytes(h, 24000));
    BASS_StreamFree(h);
}

}  // namespace
