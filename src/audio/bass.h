#pragma once
// The player's audio library: streams, transport, positions, level, the
// end-of-stream callback, the volume attribute and peaking-equalizer effects,
// implemented over FFmpeg (decoding) and SDL2 (output).
//
// Threading: any thread may call these functions (the stream table is
// locked, the last error is kept per thread); the player calls them from its
// GUI thread. The library runs its own decoder and output threads; SYNCPROC
// callbacks run on a library thread.
//
// Positions and lengths are bytes of the stream's float samples at its own
// rate and channel count: bytes = frames x channels x 4.

#include <cstdint>

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using QWORD = uint64_t;
using BOOL = int;
using HSTREAM = DWORD;
using HCHANNEL = DWORD;
using HSYNC = DWORD;
using HFX = DWORD;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

// --- configuration -----------------------------------------------------------
constexpr DWORD BASS_CONFIG_UNICODE = 42;

// --- error codes (BASS_ErrorGetCode) ------------------------------------------
constexpr int BASS_OK = 0;
constexpr int BASS_ERROR_MEM = 1;
constexpr int BASS_ERROR_FILEOPEN = 2;
constexpr int BASS_ERROR_DRIVER = 3;
constexpr int BASS_ERROR_HANDLE = 5;
constexpr int BASS_ERROR_FORMAT = 6;
constexpr int BASS_ERROR_POSITION = 7;
constexpr int BASS_ERROR_INIT = 8;
constexpr int BASS_ERROR_ALREADY = 14;
constexpr int BASS_ERROR_ILLPARAM = 20;
constexpr int BASS_ERROR_NOTAVAIL = 37;
constexpr int BASS_ERROR_DECODE = 38;
constexpr int BASS_ERROR_ILLTYPE = 19;
constexpr int BASS_ERROR_FILEFORM = 41;
constexpr int BASS_ERROR_ENDED = 45;
constexpr int BASS_ERROR_UNKNOWN = -1;

// --- stream and sample flags ---------------------------------------------------
constexpr DWORD BASS_SAMPLE_8BITS = 1;
constexpr DWORD BASS_SAMPLE_MONO = 2;
constexpr DWORD BASS_SAMPLE_FLOAT = 0x100;
constexpr DWORD BASS_STREAM_PRESCAN = 0x20000;
constexpr DWORD BASS_STREAM_DECODE = 0x200000;
constexpr DWORD BASS_UNICODE = 0x80000000;

// --- positions, attributes, states ----------------------------------------------
constexpr DWORD BASS_POS_BYTE = 0;
constexpr DWORD BASS_ATTRIB_VOL = 2;
// Playing streams: the tempo change in percent, from -50 (half as fast) to
// +100 (twice as fast), the pitch kept; 0 plays the frames untouched.
// Positions, lengths, loops and the end stay in the file's frames: the
// position is still the frame being heard. Streams of more than 16 channels
// play only as recorded (BASS_ERROR_NOTAVAIL for any other tempo).
constexpr DWORD BASS_ATTRIB_TEMPO = 0x10000;
constexpr float BASS_TEMPO_MIN = -50.0f;
constexpr float BASS_TEMPO_MAX = 100.0f;

constexpr DWORD BASS_ACTIVE_STOPPED = 0;
constexpr DWORD BASS_ACTIVE_PLAYING = 1;
constexpr DWORD BASS_ACTIVE_STALLED = 2;
constexpr DWORD BASS_ACTIVE_PAUSED = 3;

// --- syncs -------------------------------------------------------------------
constexpr DWORD BASS_SYNC_END = 2;
using SYNCPROC = void(HSYNC handle, DWORD channel, DWORD data, void* user);

// --- data retrieval (decode-only streams) ----------------------------------------
constexpr DWORD BASS_DATA_FLOAT = 0x40000000;

// --- effects -------------------------------------------------------------------
constexpr DWORD BASS_FX_BFX_PEAKEQ = 0x10004;
constexpr int BASS_BFX_CHANALL = -1;

struct BASS_BFX_PEAKEQ {
    int lBand;         // band number, 0 based
    float fBandwidth;  // bandwidth in octaves (used when fQ is 0)
    float fQ;          // Q, used instead of the bandwidth when above 0
    float fCenter;     // centre frequency in Hz
    float fGain;       // gain in dB
    int lChannel;      // channel mask, BASS_BFX_CHANALL = every channel
};

struct BASS_CHANNELINFO {
    DWORD freq;      // sample rate of the stream
    DWORD chans;     // channel count
    DWORD flags;     // BASS_SAMPLE_FLOAT, BASS_STREAM_DECODE ...
    DWORD ctype;     // type of channel (0 here)
    DWORD origres;   // original resolution in bits, 0 when unknown
    DWORD plugin;    // 0
    DWORD sample;    // 0
    const char* filename;  // nullptr
};

// Starts the output device. device -1 = default, freq is a hint (the device's
// own rate is used). Returns FALSE when no output device can be opened.
BOOL BASS_Init(int device, DWORD freq, DWORD flags, void* win, const void* clsid);
// Frees every stream and closes the device.
BOOL BASS_Free();
// BASS_CONFIG_UNICODE = 1: file names arrive as NUL-terminated UTF-16
// (char16_t) when BASS_UNICODE is set, else as UTF-8.
BOOL BASS_SetConfig(DWORD option, DWORD value);
DWORD BASS_GetConfig(DWORD option);
// The error code of the last failed call on this thread.
int BASS_ErrorGetCode();

// Opens a file. mem must be FALSE; offset and length 0. flags: BASS_UNICODE,
// BASS_STREAM_PRESCAN (exact length and seek table by a packet pass: the
// length is the number of frames FFmpeg's full decode of the file yields,
// and a decode from the start yields exactly those),
// BASS_SAMPLE_FLOAT, BASS_STREAM_DECODE (no output; read with
// BASS_ChannelGetData). Returns 0 on failure (missing, unreadable, not audio,
// empty); never crashes on a truncated or corrupt file.
HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags);
BOOL BASS_StreamFree(HSTREAM handle);

BOOL BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info);
QWORD BASS_ChannelGetLength(DWORD handle, DWORD mode);       // (QWORD)-1 on error
QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode);     // the frame being heard
// With BASS_STREAM_PRESCAN sample exact: the frames after the new position
// are those a decode from the start gives there, in every format, with one
// bound: AAC bands coded as noise (perceptual noise substitution) are new
// random noise after a seek (the level of any 512 frames within 0.5 dB),
// as no decoder can repeat the noise of a decode from the start. Chained Ogg is decoded from its start
// up to the position (its timestamps start over in every link). A failed
// seek (FALSE) keeps the old position and what plays from it.
BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos, DWORD mode);
double BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos);   // < 0 on error
QWORD BASS_ChannelSeconds2Bytes(DWORD handle, double pos);   // (QWORD)-1 on error

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart);  // restart FALSE resumes
BOOL BASS_ChannelPause(DWORD handle);
BOOL BASS_ChannelStop(DWORD handle);                // keeps the position
DWORD BASS_ChannelIsActive(DWORD handle);           // BASS_ACTIVE_*

// Playing streams: the bytes [start, end) play over and over, each pass
// following the last sample exact and without a gap, until the loop is
// changed or removed (start = end = 0). A position set inside the range
// loops; one outside plays on. Decoded sound is kept as far as it follows
// the new range. BASS_ERROR_POSITION when start >= end or end is past the
// length.
BOOL BASS_ChannelSetLoop(DWORD handle, QWORD start, QWORD end);
// The loop's bytes; both 0 when there is none.
BOOL BASS_ChannelGetLoop(DWORD handle, QWORD* start, QWORD* end);

// BASS_SYNC_END: proc runs once per end of stream on a library thread, after
// the last frame was heard; the stream is then stopped. Returns 0 on failure.
// A proc must return quickly and must not wait for the thread that makes the
// library calls (post the event instead): BASS_StreamFree waits for a proc
// that is running, so that no proc of a stream runs after its free returns.
HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD param, SYNCPROC* proc, void* user);
BOOL BASS_ChannelRemoveSync(DWORD handle, HSYNC sync);

BOOL BASS_ChannelSetAttribute(DWORD handle, DWORD attrib, float value);
BOOL BASS_ChannelGetAttribute(DWORD handle, DWORD attrib, float* value);
// Peak of the last 20 ms heard: left in the low word, right in the high word,
// 32768 = full scale. 0xFFFFFFFF when the stream is not playing.
DWORD BASS_ChannelGetLevel(DWORD handle);
// Decode-only streams: decodes the next length bytes into buffer (float
// samples, with the stream's effects applied). Returns the bytes written,
// (DWORD)-1 at the end or on error.
DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length);

HFX BASS_ChannelSetFX(DWORD handle, DWORD type, int priority);  // 0 on failure
BOOL BASS_ChannelRemoveFX(DWORD handle, HFX fx);
BOOL BASS_FXSetParameters(HFX handle, const void* params);
BOOL BASS_FXGetParameters(HFX handle, void* params);
// 0x0204xxxx: the effects' interface version.
DWORD BASS_FX_GetVersion();

// --- chapters ------------------------------------------------------------------
struct BASS_CHAPTER {
    double start;       // seconds from the start of the file
    const char* title;  // UTF-8, "" when the chapter has none
};

// The chapters the stream's file carries (MP4 chapters, ID3v2 CHAP frames,
// CHAPTERxx comments of Ogg and FLAC), read when the stream was created, in
// the file's order. Copies the first `max` of them into `chapters` (null is
// fine with max 0) and returns how many the file has; (DWORD)-1 for a bad
// handle. The titles stay valid until the stream is freed.
DWORD BASS_ChannelGetChapters(DWORD handle, BASS_CHAPTER* chapters, DWORD max);
