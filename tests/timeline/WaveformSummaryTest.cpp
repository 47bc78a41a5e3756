#include "timeline/WaveformSummary.h"

#include <gtest/gtest.h>

namespace {

constexpr qint64 kBlock = WaveformSummary::kBaseBlockFrames;

// Base blocks whose peaks are given as bytes: low -v, high +v per block.
WaveformSummary symmetric(const QList<qint8>& peaks, int framesInLast = 0) {
    QList<qint8> mins;
    for (qint8 p : peaks)
        mins << static_cast<qint8>(-p);
    WaveformSummary s;
    s.reset(44100);
    s.append(mins, peaks, framesInLast);
    return s;
}

TEST(WaveformSummary, RangeTable) {
    // 40,000 blocks: quiet (10) everywhere, one loud block (127) at 20,000.
    QList<qint8> peaks(40000, 10);
    peaks[20000] = 127;
    const WaveformSummary s = symmetric(peaks);
    struct Case {
        const char* rule;
        qint64 first;
        qint64 end;
        bool some;
        qint8 high;
    };
    const Case cases[] = {
        {"one frame of a quiet block", 5, 6, true, 10},
        {"one frame of the loud block", 20000 * kBlock + 100, 20000 * kBlock + 101, true, 127},
        {"a stretch just before the loud block", 0, 20000 * kBlock, true, 10},
        {"a stretch just after it", 20001 * kBlock, 40000 * kBlock, true, 10},
        {"a long stretch over it, answered from coarse blocks", 1000, 39000 * kBlock, true, 127},
        {"a stretch ending in its first frame", 19990 * kBlock, 20000 * kBlock + 1, true, 127},
        {"beyond what is covered", 40000 * kBlock, 40001 * kBlock, false, 0},
        {"an empty stretch", 100, 100, false, 0},
    };
    for (const Case& c : cases) {
        const auto r = s.range(c.first, c.end);
        ASSERT_EQ(r.has_value(), c.some) << c.rule;
        if (r) {
            EXPECT_FLOAT_EQ(r->high, c.high / 127.0f) << c.rule;
            EXPECT_FLOAT_EQ(r->low, -c.high / 127.0f) << c.rule;
        }
    }
}

TEST(WaveformSummary, GrowsInPiecesAsOneAndCountsAShortLastBlock) {
    WaveformSummary whole = symmetric(QList<qint8>(5000, 3) << 90, 100);
    WaveformSummary pieces;
    pieces.reset(44100);
    for (int i = 0; i < 5; ++i)
        pieces.append(QList<qint8>(1000, -3), QList<qint8>(1000, 3));
    pieces.append({-90}, {90}, 100);
    EXPECT_EQ(pieces.framesCovered(), 5000 * kBlock + 100);
    EXPECT_EQ(pieces.toBytes(), whole.toBytes());
    EXPECT_FLOAT_EQ(pieces.range(0, 6000 * kBlock)->high, 90 / 127.0f) << "the coarse blocks saw the late peak";
}

TEST(WaveformSummary, BytesRoundTripAndDamagedImagesAreRefused) {
    const WaveformSummary s = symmetric({1, 2, 3, 4}, 17);
    const QByteArray bytes = s.toBytes();
    const auto back = WaveformSummary::fromBytes(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->framesCovered(), 3 * kBlock + 17);
    EXPECT_EQ(back->sampleRate(), 44100);
    EXPECT_EQ(back->toBytes(), bytes);

    QByteArray wrongMagic = bytes;
    wrongMagic[0] = 'X';
    QByteArray tooManyFrames = bytes;
    tooManyFrames[14] = static_cast<char>(0x7F);  // more frames than the blocks hold
    for (const QByteArray& damaged : {bytes.left(bytes.size() - 1), bytes + "x", wrongMagic, QByteArray(), tooManyFrames})
        EXPECT_FALSE(WaveformSummary::fromBytes(damaged));
}

TEST(WaveformSummary, BytesRoundOutwards) {
    EXPECT_EQ(WaveformSummary::highByte(0.001f), 1);
    EXPECT_EQ(WaveformSummary::lowByte(-0.001f), -1);
    EXPECT_EQ(WaveformSummary::highByte(2.0f), 127) << "overshoot is clamped";
    EXPECT_EQ(WaveformSummary::lowByte(-2.0f), -127);
    EXPECT_EQ(WaveformSummary::highByte(0.0f), 0);
}

}  // namespace
