#pragma once
// Which file frame each frame of a stream's playing order carries. The
// playing order counts frames since the last seek; a loop's wrap makes the
// file frames jump back. Also the loop's rule for the frame that follows
// another.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmo::audio {

// Frames [start, end) of the file play over and over; inactive when empty.
struct LoopRange {
    int64_t start = 0;
    int64_t end = 0;
    bool active() const { return end > start; }
    bool contains(int64_t frame) const { return frame >= start && frame < end; }
    // The file frame that plays after `frame`.
    int64_t next(int64_t frame) const { return active() && frame + 1 == end ? start : frame + 1; }
};

class SourceMap {
public:
    SourceMap();
    // Forgets every jump: playing order `seq` carries file frame `frame`,
    // and the frames after it follow on.
    void reset(int64_t seq, int64_t frame);
    // From playing order `seq` on, the frames continue at file frame `frame`.
    void jump(int64_t seq, int64_t frame);
    // Forgets the jumps at or after `seq` (the frames from there are decoded
    // again).
    void dropFrom(int64_t seq);
    int64_t frameAt(int64_t seq) const;
    // The first frame in [first, last) that `loop` would not play there:
    // a frame at the loop's end, or a jump the loop does not make. `last`
    // when they all follow the loop.
    int64_t firstDeparture(int64_t first, int64_t last, const LoopRange& loop) const;
    // The file frame that plays at `seq` under `loop`, given the frames
    // before it.
    int64_t expectedAt(int64_t seq, const LoopRange& loop) const;

private:
    struct Jump {
        int64_t seq;
        int64_t frame;
    };
    // Enough for the seconds of sound between the decoder and the ear even
    // with very short loops; the oldest go first.
    static constexpr size_t kMaxJumps = 512;
    std::vector<Jump> m_jumps;  // by seq, the first one the base
};

}  // namespace velmo::audio
