#include "timeline/WaveformSummary.h"

#include <QDataStream>
#include <QIODevice>

#include <algorithm>
#include <atomic>
#include <cmath>

namespace {
constexpr quint32 kImageMagic = 0x56575631;  // "VWV1"
constexpr qint64 kMaxImageBlocks = qint64(1) << 31;
// Summaries are also started on the worker thread.
std::atomic<quint64> lastIdentity{0};
}  // namespace

qint64 WaveformSummary::blockFrames(int level) {
    qint64 frames = kBaseBlockFrames;
    for (int i = 0; i < level; ++i)
        frames *= kFanOut;
    return frames;
}

void WaveformSummary::reset(int sampleRate) {
    sampleRate_ = sampleRate;
    identity_ = ++lastIdentity;
    framesCovered_ = 0;
    for (auto& level : blocks_)
        level.clear();
}

qint8 WaveformSummary::lowByte(float sample) {
    return static_cast<qint8>(std::clamp(std::floor(sample * 127.0f), -127.0f, 127.0f));
}

qint8 WaveformSummary::highByte(float sample) {
    return static_cast<qint8>(std::clamp(std::ceil(sample * 127.0f), -127.0f, 127.0f));
}

void WaveformSummary::append(const QList<qint8>& mins, const QList<qint8>& maxs, int framesInLast) {
    const qsizetype count = std::min(mins.size(), maxs.size());
    if (count == 0)
        return;
    const qint64 firstBase = blocks_[0].size();
    // A short block can only be the track's last one.
    framesCovered_ = blocks_[0].size() * kBaseBlockFrames;
    // Room ahead in doubling steps: one append of a whole cached file
    // allocates once, many small ones stay linear.
    if (blocks_[0].capacity() < blocks_[0].size() + count)
        blocks_[0].reserve(std::max(blocks_[0].size() + count, 2 * blocks_[0].size()));
    for (qsizetype i = 0; i < count; ++i)
        blocks_[0].append(Block{mins[i], maxs[i]});
    framesCovered_ += count * kBaseBlockFrames;
    if (framesInLast > 0 && framesInLast < kBaseBlockFrames)
        framesCovered_ -= kBaseBlockFrames - framesInLast;
    rebuildFrom(firstBase);
}

void WaveformSummary::rebuildFrom(qint64 firstBase) {
    qint64 first = firstBase;
    for (int level = 1; level < kLevels; ++level) {
        const QList<Block>& finer = blocks_[level - 1];
        QList<Block>& coarse = blocks_[level];
        first /= kFanOut;
        const qint64 count = (finer.size() + kFanOut - 1) / kFanOut;
        coarse.resize(count);
        for (qint64 j = first; j < count; ++j) {
            const qint64 from = j * kFanOut;
            const qint64 to = std::min<qint64>(from + kFanOut, finer.size());
            Block b{127, -127};
            for (qint64 k = from; k < to; ++k) {
                b.low = std::min(b.low, finer[k].low);
                b.high = std::max(b.high, finer[k].high);
            }
            coarse[j] = b;
        }
    }
}

std::optional<WaveformSummary::Range> WaveformSummary::range(qint64 first, qint64 end) const {
    first = std::max<qint64>(first, 0);
    end = std::min(end, framesCovered_);
    if (first >= end)
        return std::nullopt;
    Block b{127, -127};
    foldRange(kLevels - 1, first, end, b);
    return Range{b.low / 127.0f, b.high / 127.0f};
}

// Whole blocks of a level inside the stretch, the two ends from the finer
// levels: at most about 2 * kFanOut blocks per level are looked at, and no
// block reaches outside the stretch except base blocks at its two ends.
void WaveformSummary::foldRange(int level, qint64 first, qint64 end, Block& into) const {
    if (first >= end)
        return;
    const qint64 size = blockFrames(level);
    const QList<Block>& blocks = blocks_[level];
    auto fold = [&](qint64 from, qint64 to) {
        to = std::min<qint64>(to, blocks.size());
        for (qint64 j = from; j < to; ++j) {
            into.low = std::min(into.low, blocks[j].low);
            into.high = std::max(into.high, blocks[j].high);
        }
    };
    if (level == 0) {
        fold(first / size, (end - 1) / size + 1);
        return;
    }
    const qint64 wholeFirst = (first + size - 1) / size;
    const qint64 wholeEnd = end >= framesCovered_ ? (end + size - 1) / size : end / size;
    if (wholeFirst >= wholeEnd) {
        foldRange(level - 1, first, end, into);
        return;
    }
    fold(wholeFirst, wholeEnd);
    foldRange(level - 1, first, wholeFirst * size, into);
    foldRange(level - 1, std::min(wholeEnd * size, end), end, into);
}

QByteArray WaveformSummary::toBytes() const {
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out << kImageMagic << qint32(sampleRate_) << qint64(framesCovered_) << qint64(blocks_[0].size());
    }
    bytes.reserve(bytes.size() + blocks_[0].size() * 2);
    for (const Block& b : blocks_[0]) {
        bytes.append(static_cast<char>(b.low));
        bytes.append(static_cast<char>(b.high));
    }
    return bytes;
}

std::optional<WaveformSummary> WaveformSummary::fromBytes(const QByteArray& bytes) {
    QDataStream in(bytes);
    quint32 magic = 0;
    qint32 rate = 0;
    qint64 frames = 0;
    qint64 count = 0;
    in >> magic >> rate >> frames >> count;
    if (in.status() != QDataStream::Ok || magic != kImageMagic || rate <= 0 || count < 0 ||
        count > kMaxImageBlocks || bytes.size() - in.device()->pos() != count * 2 ||
        frames > count * kBaseBlockFrames || frames <= (count - 1) * kBaseBlockFrames)
        return std::nullopt;
    const char* raw = bytes.constData() + in.device()->pos();
    QList<qint8> mins(count);
    QList<qint8> maxs(count);
    for (qint64 i = 0; i < count; ++i) {
        mins[i] = static_cast<qint8>(raw[2 * i]);
        maxs[i] = static_cast<qint8>(raw[2 * i + 1]);
    }
    WaveformSummary summary;
    summary.reset(rate);
    const int inLast = static_cast<int>(frames - (count - 1) * kBaseBlockFrames);
    summary.append(mins, maxs, inLast == kBaseBlockFrames ? 0 : inLast);
    return summary;
}
