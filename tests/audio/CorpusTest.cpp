// Files from real encoders, file by file against FFmpeg's own decode (made
// beside each file by tests/fixtures/make-corpus.sh): the prescanned
// length, a decode from the start and the frames after seeks all match it.

#include "AudioTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

using namespace audiotest;

namespace {

struct CorpusFile {
    const char* name;
    // Largest difference allowed from FFmpeg's samples: 0 where both sides
    // convert integers the same way, a rounding step where one converts in
    // double and the other in float.
    float tolerance;
    // AAC noise bands: after a seek they are new noise of the same level, so
    // seeks are held to the level of every 512 frames instead.
    bool noiseBands = false;
};

// What noise bands may change after a seek: the level of any 512 frames.
constexpr double kNoiseLevelDb = 0.5;

constexpr float kFloatDecoder = 0.0f;     // the codec itself outputs floats
constexpr float kIntegerSamples = 1e-7f;  // int -> float rounding

const CorpusFile kCorpus[] = {
    {"mp3-cbr.mp3", kFloatDecoder},
    {"mp3-cbr-notag.mp3", kFloatDecoder},
    {"mp3-vbr-v4.mp3", kFloatDecoder},
    {"mp3-vbr-notag.mp3", kFloatDecoder},
    {"mp3-id3v2-picture.mp3", kFloatDecoder},
    {"mp3-mono48-tags-end.mp3", kFloatDecoder},
    {"mp3-229-samples.mp3", kFloatDecoder},
    {"vorbis.ogg", kFloatDecoder},
    {"vorbis-chained.ogg", kFloatDecoder},
    {"opus.ogg", kFloatDecoder},
    {"aac.m4a", kFloatDecoder},
    {"aac-mono48.mp4", kFloatDecoder},
    {"aac-priming2112.m4a", kFloatDecoder},
    {"aac-5.1.m4a", kFloatDecoder},
    {"aac-noise.m4a", kFloatDecoder, true},
    {"alac.m4a", kIntegerSamples},
    {"flac-fixed.flac", kIntegerSamples},
    {"flac-variable.flac", kIntegerSamples},
    {"flac-streaminfo-short.flac", kIntegerSamples},
    {"wma.wma", kFloatDecoder},
    {"wav-u8-odd.wav", kIntegerSamples},
    {"wav-s16.wav", kIntegerSamples},
    {"wav-s16-ext.wav", kIntegerSamples},
    {"wav-s24.wav", kIntegerSamples},
    {"wav-s32.wav", kIntegerSamples},
    {"wav-f32.wav", kIntegerSamples},
};

std::string corpusPath(const char* name) { return std::string(VELMO_CORPUS_DIR) + "/" + name; }

std::vector<float> readReference(const std::string& path) {
    std::ifstream in(path + ".f32", std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
    return samples;
}

// Largest difference between `got` and the reference from frame `at` on;
// infinity when `got` has a different number of frames than `expected`.
float worstDifference(const std::vector<float>& got, const std::vector<float>& reference, size_t at, int chans,
                      size_t expectedFrames) {
    if (got.size() != expectedFrames * chans)
        return INFINITY;
    float worst = 0.0f;
    for (size_t i = 0; i < got.size(); ++i)
        worst = std::max(worst, std::fabs(got[i] - reference[at * chans + i]));
    return worst;
}

// Largest level difference in dB between blocks of 512 frames of `got` and
// the reference from frame `at` on; infinity when the frame counts differ.
double worstLevelDifference(const std::vector<float>& got, const std::vector<float>& reference, size_t at, int chans,
                            size_t expectedFrames) {
    if (got.size() != expectedFrames * chans)
        return INFINITY;
    constexpr size_t kBlock = 512;
    double worst = 0.0;
    for (size_t b = 0; b + kBlock <= expectedFrames; b += kBlock) {
        double gotEnergy = 1e-12, referenceEnergy = 1e-12;
        for (size_t i = b * chans; i < (b + kBlock) * chans; ++i) {
            gotEnergy += double(got[i]) * got[i];
            referenceEnergy += double(reference[at * chans + i]) * reference[at * chans + i];
        }
        worst = std::max(worst, std::fabs(10.0 * std::log10(gotEnergy / referenceEnergy)));
    }
    return worst;
}

class Corpus : public ::testing::TestWithParam<CorpusFile> {};

TEST_P(Corpus, LengthDecodeAndSeeksMatchFfmpeg) {
    const CorpusFile& file = GetParam();
    const std::string path = corpusPath(file.name);
    const HSTREAM h = open(path, BASS_STREAM_DECODE | BASS_STREAM_PRESCAN | BASS_SAMPLE_FLOAT);
    ASSERT_NE(h, 0u) << "error " << BASS_ErrorGetCode();
    const int chans = channelsOf(h);
    const std::vector<float> reference = readReference(path);
    const int64_t frames = int64_t(reference.size() / chans);
    ASSERT_GT(frames, 0);

    const int64_t length = int64_t(bytesToFrames(h, BASS_ChannelGetLength(h, BASS_POS_BYTE)));
    const std::vector<float> whole = decodeRest(h);
    const int64_t decoded = int64_t(whole.size() / chans);
    const float wholeError =
        worstDifference(whole, reference, 0, chans, std::min<size_t>(whole.size() / chans, size_t(frames)));

    // Forwards and backwards, on and off codec frame boundaries, at both
    // ends and at a few odd places.
    float seekError = 0.0f;
    int64_t worstTarget = -1;
    constexpr int64_t kCompared = 2048;
    for (int64_t target : {frames / 2, int64_t(1), frames * 37 / 100, int64_t(0), frames * 81 / 100, frames - 300,
                           int64_t(1152 * 7 + 5), int64_t(4095), frames * 9 / 10 + 77, frames / 5 + 1023, frames - 1,
                           frames * 2 / 3 + 4321, frames / 7, frames / 3 + 555, frames * 3 / 5 + 1, int64_t(700),
                           int64_t(2047), frames * 5 / 11 + 3, frames * 6 / 7}) {
        if (target < 0 || target >= frames)
            continue;
        float error = INFINITY;
        if (BASS_ChannelSetPosition(h, framesToBytes(h, QWORD(target)), BASS_POS_BYTE) &&
            BASS_ChannelGetPosition(h, BASS_POS_BYTE) == framesToBytes(h, QWORD(target))) {
            const size_t expected = size_t(std::min(kCompared, frames - target));
            const std::vector<float> got = decodeRest(h, expected);
            error = file.noiseBands ? float(worstLevelDifference(got, reference, size_t(target), chans, expected))
                                    : worstDifference(got, reference, size_t(target), chans, expected);
        }
        if (error > seekError || worstTarget < 0) {
            seekError = std::max(seekError, error);
            worstTarget = target;
        }
    }
    // A seek close to the end plays exactly the rest.
    const int64_t nearEnd = std::max<int64_t>(0, frames - 5000);
    const int64_t restAfterSeek = BASS_ChannelSetPosition(h, framesToBytes(h, QWORD(nearEnd)), BASS_POS_BYTE)
                                      ? int64_t(decodeRest(h).size() / chans)
                                      : -1;
    BASS_StreamFree(h);

    // Without a prescan the decode is as complete, and once its end has been
    // read the length is exact too.
    const HSTREAM plain = open(path, BASS_STREAM_DECODE | BASS_SAMPLE_FLOAT);
    ASSERT_NE(plain, 0u);
    const int64_t decodedPlain = int64_t(decodeRest(plain).size() / chans);
    const int64_t lengthPlain = int64_t(bytesToFrames(plain, BASS_ChannelGetLength(plain, BASS_POS_BYTE)));
    BASS_StreamFree(plain);

    std::printf("%-28s frames %7lld  length %+6lld  decoded %+6lld  decode error %.2g  seek error %.2g%s (at %lld)  "
                "rest after seek %+lld\n",
                file.name, (long long)frames, (long long)(length - frames), (long long)(decoded - frames), wholeError,
                seekError, file.noiseBands ? " dB" : "", (long long)worstTarget, (long long)(restAfterSeek - (frames - nearEnd)));
    EXPECT_EQ(length, frames);
    EXPECT_EQ(decoded, frames);
    EXPECT_LE(wholeError, file.tolerance);
    EXPECT_LE(seekError, file.noiseBands ? float(kNoiseLevelDb) : file.tolerance) << "worst at frame " << worstTarget;
    EXPECT_EQ(restAfterSeek, frames - nearEnd);
    EXPECT_EQ(decodedPlain, frames);
    EXPECT_EQ(lengthPlain, frames);
}

INSTANTIATE_TEST_SUITE_P(RealEncoders, Corpus, ::testing::ValuesIn(kCorpus), [](const auto& info) {
    std::string name = info.param.name;
    for (char& ch : name)
        if (!isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return name;
});

}  // namespace
