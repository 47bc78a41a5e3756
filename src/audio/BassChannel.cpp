// The library's public functions on one channel: facts, position,
// transport, syncs, attributes, loop, level, decoded data, chapters and
// effects. The device and the handle table are in Bass.cpp.

#include "audio/BassLibrary.h"

#include <cmath>

using velmo::audio::SyncEntry;
using namespace velmo::audio::library;

BOOL BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info) {
    auto s = findStream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    if (!info)
        return fail(BASS_ERROR_ILLPARAM);
    *info = BASS_CHANNELINFO{};
    info->freq = DWORD(s->rate());
    info->chans = DWORD(s->channels());
    // The sample format is what a caller asked for: float on request, else
    // 8 bits for 8-bit files and 16 bits otherwise.
    if (s->flags() & BASS_SAMPLE_FLOAT)
        info->flags |= BASS_SAMPLE_FLOAT;
    else if (s->eightBit())
        info->flags |= BASS_SAMPLE_8BITS;
    info->flags |= s->flags() & BASS_STREAM_DECODE;
    info->origres = s->eightBit() ? 8 : 0;
    return ok(TRUE);
}

QWORD BASS_ChannelGetLength(DWORD handle, DWORD mode) {
    auto s = findStream(handle);
    if (!s)
        return fail<QWORD>(BASS_ERROR_HANDLE, QWORD(-1));
    if (mode != BASS_POS_BYTE)
        return fail<QWORD>(BASS_ERROR_NOTAVAIL, QWORD(-1));
    return ok(QWORD(s->lengthFrames()) * bytesPerFrame(*s));
}

QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode) {
    auto s = findStream(handle);
    if (!s)
        return fail<QWORD>(BASS_ERROR_HANDLE, QWORD(-1));
    if (mode != BASS_POS_BYTE)
        return fail<QWORD>(BASS_ERROR_NOTAVAIL, QWORD(-1));
    return ok(QWORD(s->positionFrames()) * bytesPerFrame(*s));
}

BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos, DWORD mode) {
    auto s = findStream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    if (mode != BASS_POS_BYTE)
        return fail(BASS_ERROR_NOTAVAIL);
    const int64_t frame = int64_t(pos / bytesPerFrame(*s));
    if (pos > QWORD(INT64_MAX) || frame > s->lengthFrames())
        return fail(BASS_ERROR_POSITION);
    if (!s->setPositionFrames(frame))
        return fail(BASS_ERROR_POSITION);
    return ok(TRUE);
}

double BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos) {
    auto s = findStream(handle);
    if (!s)
        return fail<double>(BASS_ERROR_HANDLE, -1.0);
    return ok(double(pos) / double(bytesPerFrame(*s)) / s->rate());
}

QWORD BASS_ChannelSeconds2Bytes(DWORD handle, double pos) {
    auto s = findStream(handle);
    if (!s)
        return fail<QWORD>(BASS_ERROR_HANDLE, QWORD(-1));
    if (!(pos >= 0) || !std::isfinite(pos))
        return fail<QWORD>(BASS_ERROR_ILLPARAM, QWORD(-1));
    // The tiny allowance keeps seconds made from bytes on the same frame.
    const QWORD frames = QWORD(std::floor(pos * s->rate() + 1e-6));
    return ok(frames * bytesPerFrame(*s));
}

// --- transport ---------------------------------------------------------------------

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) {
    auto s = findStream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    if (s->decodeOnly())
        return fail(BASS_ERROR_NOTAVAIL);
    s->play(restart != FALSE);
    wakeOutput();
    return ok(TRUE);
}

BOOL BASS_ChannelPause(DWORD handle) {
    auto s = findStream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    if (s->decodeOnly())
        return fail(BASS_ERROR_NOTAVAIL);
    s->pause();
    return ok(TRUE);
}

BOOL BASS_ChannelStop(DWORD handle) {
    auto s = findStream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    s->stop();
    return ok(TRUE);
}

DWORD BASS_ChannelIsActive(DWORD handle) {
    auto s = findStream(handle);
    if (!s)
        return fail<DWORD>(BASS_ERROR_HANDLE, BASS_ACTIVE_STOPPED);
    if (s->decodeOnly()) {
        // A decode-only stream counts as playing until its data runs out.
        const bool more = !s->lengthFrames() || s->positionFrames() < s->lengthFrames();
        return ok<DWORD>(more ? BASS_ACTIVE_PLAYING : BASS_ACTIVE_STOPPED);
    }
    return ok(s->state());
}

HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD, SYNCPROC* proc, void* user) {
    auto s = findStream(handle);
    if (!s)
        return fail<HSYNC>(BASS_ERROR_HANDLE, 0);
    if ((type & 0xFFFFFF) != BASS_SYNC_END || !proc)
        return fail<HSYNC>(BASS_ERROR_ILLTYPE, 0);
    HSYNC id;
    {
        std::lock_guard<std::mutex> lock(g.table);
        id = g.nextSync++;
    }
    s->addSync(SyncEntry{id, proc, user});
    return ok(id);
}

BOOL BASS_ChannelRemoveSync(DWORD handle, HSYNC sync) {
    auto s = findStream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    std::lock_guard<std::recursive_mutex> calls(g.syncCalls);
    return s->removeSync(sync) ? ok(TRUE) : fail(BASS_ERROR_HANDLE);
}

BOOL BASS_ChannelSetAttribute(DWORD handle, DWORD attrib, float value) {
    auto s = findStream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    if (attrib != BASS_ATTRIB_VOL && attrib != BASS_ATTRIB_TEMPO)
        return fail(BASS_ERROR_ILLTYPE);
    if (!std::isfinite(value))
        return fail(BASS_ERROR_ILLPARAM);
    if (attrib == BASS_ATTRIB_VOL) {
        s->setVolume(value);
        return ok(TRUE);
    }
    if (s->decodeOnly())
        return fail(BASS_ERROR_NOTAVAIL);
    if (value < BASS_TEMPO_MIN || value > BASS_TEMPO_MAX)
        return fail(BASS_ERROR_ILLPARAM);
    if (value != 0 && !s->canStretch())
        return fail(BASS_ERROR_NOTAVAIL);
    s->setSpeed(1.0 + double(value) / 100.0);
    return ok(TRUE);
}

BOOL BASS_ChannelGetAttribute(DWORD handle, DWORD attrib, float* value) {
    auto s = findStream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    if ((attrib != BASS_ATTRIB_VOL && attrib != BASS_ATTRIB_TEMPO) || !value)
        return fail(BASS_ERROR_ILLTYPE);
    *value = attrib == BASS_ATTRIB_VOL ? s->volume() : float((s->speed() - 1.0) * 100.0);
    return ok(TRUE);
}

BOOL BASS_ChannelSetLoop(DWORD handle, QWORD start, QWORD end) {
    auto s = findStream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    if (s->decodeOnly())
        return fail(BASS_ERROR_NOTAVAIL);
    const QWORD frameBytes = bytesPerFrame(*s);
    if (start == 0 && end == 0) {
        s->setLoop({});
        return ok(TRUE);
    }
    if (start >= end || end / frameBytes > QWORD(s->lengthFrames()))
        return fail(BASS_ERROR_POSITION);
    const int64_t first = int64_t(start / frameBytes), last = int64_t(end / frameBytes);
    if (first >= last)
        return fail(BASS_ERROR_POSITION);
    s->setLoop({first, last});
    return ok(TRUE);
}

BOOL BASS_ChannelGetLoop(DWORD handle, QWORD* start, QWORD* end) {
    auto s = findStream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    if (!start || !end)
        return fail(BASS_ERROR_ILLPARAM);
    const auto loop = s->loop();
    *start = QWORD(loop.start) * bytesPerFrame(*s);
    *end = QWORD(loop.end) * bytesPerFrame(*s);
    return ok(TRUE);
}

DWORD BASS_ChannelGetLevel(DWORD handle) {
    auto s = findStream(handle);
    if (!s)
        return fail<DWORD>(BASS_ERROR_HANDLE, 0xFFFFFFFFu);
    if (s->decodeOnly())
        return fail<DWORD>(BASS_ERROR_NOTAVAIL, 0xFFFFFFFFu);
    return ok(s->level());
}

DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length) {
    auto s = findStream(handle);
    if (!s)
        return fail<DWORD>(BASS_ERROR_HANDLE, DWORD(-1));
    if (!s->decodeOnly())
        return fail<DWORD>(BASS_ERROR_NOTAVAIL, DWORD(-1));
    const DWORD bytes = length & 0x0FFFFFFF;  // the high bits are flags
    const int frames = int(bytes / bytesPerFrame(*s));
    if (!buffer || frames <= 0)
        return ok<DWORD>(0);
    const int got = s->getData(static_cast<float*>(buffer), frames);
    if (got < 0)
        return fail<DWORD>(BASS_ERROR_ENDED, DWORD(-1));
    return ok(DWORD(QWORD(got) * bytesPerFrame(*s)));
}

// --- chapters -----------------------------------------------------------------------

DWORD BASS_ChannelGetChapters(DWORD handle, BASS_CHAPTER* chapters, DWORD max) {
    auto s = findStream(handle);
    if (!s)
        return fail<DWORD>(BASS_ERROR_HANDLE, DWORD(-1));
    if (!chapters && max > 0)
        return fail<DWORD>(BASS_ERROR_ILLPARAM, DWORD(-1));
    const auto& found = s->chapters();
    for (size_t i = 0; i < found.size() && i < max; ++i)
        chapters[i] = BASS_CHAPTER{found[i].start, found[i].title.c_str()};
    return ok(DWORD(found.size()));
}

// --- effects ------------------------------------------------------------------------

HFX BASS_ChannelSetFX(DWORD handle, DWORD type, int priority) {
    auto s = findStream(handle);
    if (!s)
        return fail<HFX>(BASS_ERROR_HANDLE, 0);
    if (type != BASS_FX_BFX_PEAKEQ)
        return fail<HFX>(BASS_ERROR_ILLTYPE, 0);
    HFX id;
    {
        std::lock_guard<std::mutex> lock(g.table);
        id = g.nextEffect++;
        g.effectOwner.emplace(id, handle);
    }
    return ok(s->addEffect(id, priority));
}

BOOL BASS_ChannelRemoveFX(DWORD handle, HFX fx) {
    auto s = findStream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    if (!s->removeEffect(fx))
        return fail(BASS_ERROR_HANDLE);
    std::lock_guard<std::mutex> lock(g.table);
    g.effectOwner.erase(fx);
    return ok(TRUE);
}

BOOL BASS_FXSetParameters(HFX fx, const void* params) {
    auto s = findEffectStream(fx);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    if (!params || !s->setEffectParameters(fx, *static_cast<const BASS_BFX_PEAKEQ*>(params)))
        return fail(BASS_ERROR_ILLPARAM);
    return ok(TRUE);
}

BOOL BASS_FXGetParameters(HFX fx, void* params) {
    auto s = findEffectStream(fx);
    if (!s)
        return fail(BASS_ERROR_HANDLE);
    if (!params || !s->effectParameters(fx, *static_cast<BASS_BFX_PEAKEQ*>(params)))
        return fail(BASS_ERROR_ILLPARAM);
    return ok(TRUE);
}
