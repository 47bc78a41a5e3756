#include "audio/SourceMap.h"

#include <algorithm>

namespace velmo::audio {

SourceMap::SourceMap() {
    m_jumps.reserve(kMaxJumps);
    m_jumps.push_back(Jump{0, 0});
}

void SourceMap::reset(int64_t seq, int64_t frame) {
    m_jumps.clear();
    m_jumps.push_back(Jump{seq, frame});
}

void SourceMap::jump(int64_t seq, int64_t frame) {
    dropFrom(seq);
    if (m_jumps.size() == kMaxJumps)
        m_jumps.erase(m_jumps.begin());
    m_jumps.push_back(Jump{seq, frame});
}

void SourceMap::dropFrom(int64_t seq) {
    // The base stays: it says where the playing order began.
    while (m_jumps.size() > 1 && m_jumps.back().seq >= seq)
        m_jumps.pop_back();
}

int64_t SourceMap::frameAt(int64_t seq) const {
    for (auto it = m_jumps.rbegin(); it != m_jumps.rend(); ++it)
        if (it->seq <= seq)
            return it->frame + (seq - it->seq);
    // Older than anything kept: counted back from the oldest jump.
    return std::max<int64_t>(0, m_jumps.front().frame - (m_jumps.front().seq - seq));
}

int64_t SourceMap::expectedAt(int64_t seq, const LoopRange& loop) const {
    if (seq <= m_jumps.front().seq)
        return frameAt(seq);
    return loop.next(frameAt(seq - 1));
}

int64_t SourceMap::firstDeparture(int64_t first, int64_t last, const LoopRange& loop) const {
    int64_t runStart = first;
    for (size_t i = 0; i <= m_jumps.size() && runStart < last; ++i) {
        // The run of consecutive file frames [runStart, runEnd).
        int64_t runEnd = last;
        for (const Jump& j : m_jumps)
            if (j.seq > runStart) {
                runEnd = std::min(runEnd, j.seq);
                break;
            }
        if (runStart > first && frameAt(runStart) != expectedAt(runStart, loop))
            return runStart;
        const int64_t frame = frameAt(runStart);
        const int64_t length = runEnd - runStart;
        // The loop's end inside the run (not at its first frame, which the
        // check above judged).
        if (loop.active() && frame < loop.end && loop.end < frame + length)
            return runStart + (loop.end - frame);
        runStart = runEnd;
    }
    return last;
}

}  // namespace velmo::audio
