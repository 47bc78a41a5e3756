#pragma once
// The level envelope of a track at a few resolutions: for every block of
// 256 frames the lowest and highest sample of all its channels, and the same
// for blocks of 4,096 and 65,536 frames built from them. Any stretch of the
// track is answered from at most a few dozen blocks, so a screen of columns
// costs the same at every zoom and for every length. Samples are kept as
// signed bytes (full scale 127). Filled in order while the track is decoded;
// GUI thread only.

#include <QByteArray>
#include <QList>
#include <QtGlobal>

#include <array>
#include <optional>

class WaveformSummary {
public:
    static constexpr int kLevels = 3;
    static constexpr int kFanOut = 16;  // blocks of one level in one of the next
    static constexpr qint64 kBaseBlockFrames = 256;

    // Starts empty for a track of sampleRate frames per second.
    void reset(int sampleRate);
    int sampleRate() const { return sampleRate_; }
    // Changes with every reset and nowhere else: the same identity and the
    // same frames covered mean the same envelope (appends only add to it).
    quint64 identity() const { return identity_; }
    bool isEmpty() const { return blocks_[0].isEmpty(); }
    // Frames summarised so far (whole base blocks; the last may be short).
    qint64 framesCovered() const { return framesCovered_; }

    // Appends base blocks in track order. The last block of a track may
    // cover fewer frames; framesInLast says how many (0: a whole block).
    void append(const QList<qint8>& mins, const QList<qint8>& maxs, int framesInLast = 0);

    // The lowest and highest sample of frames [first, end) that are covered,
    // in -1 .. 1; nothing when none of them is.
    struct Range {
        float low;
        float high;
    };
    std::optional<Range> range(qint64 first, qint64 end) const;

    // A byte image for the cache, and back; nothing for a damaged image.
    QByteArray toBytes() const;
    static std::optional<WaveformSummary> fromBytes(const QByteArray& bytes);

    // A sample in -1 .. 1 as the byte kept for it, rounded outwards so the
    // envelope never looks quieter than the sound.
    static qint8 lowByte(float sample);
    static qint8 highByte(float sample);

private:
    struct Block {
        qint8 low;
        qint8 high;
    };
    static qint64 blockFrames(int level);
    void foldRange(int level, qint64 first, qint64 end, Block& into) const;
    // Recomputes the coarser blocks that base blocks from `firstBase` on feed.
    void rebuildFrom(qint64 firstBase);

    int sampleRate_ = 0;
    quint64 identity_ = 0;
    qint64 framesCovered_ = 0;
    std::array<QList<Block>, kLevels> blocks_;
};
