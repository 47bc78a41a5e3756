#pragma once
// The FFmpeg functions the decoder and the resampler call, opened with
// dlopen on first use instead of linked. FFmpeg's libraries bring some 120
// others with them (video codecs, network and subtitle libraries); loading
// them all before main() held up the first window by a fifth of its time.
// They are also some 20 MB of memory, so they load only when the first file
// is read (files open on threads of their own, so no window waits for it).

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/vorbis_parser.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libswresample/swresample.h>
}

namespace velmo::audio {

#define VELMO_FFMPEG_FUNCTIONS(X)                                                                  \
    X(av_add_index_entry)                                                                          \
    X(av_channel_layout_default)                                                                   \
    X(av_dict_free)                                                                                \
    X(av_dict_get)                                                                                 \
    X(av_dict_set)                                                                                 \
    X(av_find_best_stream)                                                                         \
    X(av_frame_alloc)                                                                              \
    X(av_frame_free)                                                                               \
    X(av_frame_unref)                                                                              \
    X(av_get_packed_sample_fmt)                                                                    \
    X(av_log_set_level)                                                                            \
    X(av_mallocz)                                                                                  \
    X(av_new_packet)                                                                               \
    X(av_packet_alloc)                                                                             \
    X(av_packet_free)                                                                              \
    X(av_packet_get_side_data)                                                                     \
    X(av_packet_new_side_data)                                                                     \
    X(av_packet_unref)                                                                             \
    X(av_read_frame)                                                                               \
    X(av_rescale)                                                                                  \
    X(av_rescale_q)                                                                                \
    X(av_rescale_q_rnd)                                                                            \
    X(av_sample_fmt_is_planar)                                                                     \
    X(av_vorbis_parse_frame)                                                                       \
    X(av_vorbis_parse_free)                                                                        \
    X(av_vorbis_parse_init)                                                                        \
    X(av_seek_frame)                                                                               \
    X(avcodec_alloc_context3)                                                                      \
    X(avcodec_find_decoder)                                                                        \
    X(avcodec_flush_buffers)                                                                       \
    X(avcodec_free_context)                                                                        \
    X(avcodec_open2)                                                                               \
    X(avcodec_parameters_to_context)                                                               \
    X(avcodec_receive_frame)                                                                       \
    X(avcodec_send_packet)                                                                         \
    X(avformat_alloc_context)                                                                      \
    X(avformat_close_input)                                                                        \
    X(avformat_find_stream_info)                                                                   \
    X(avformat_index_get_entries_count)                                                            \
    X(avformat_open_input)                                                                         \
    X(avformat_seek_file)                                                                          \
    X(swr_alloc_set_opts2)                                                                         \
    X(swr_close)                                                                                   \
    X(swr_convert)                                                                                 \
    X(swr_free)                                                                                    \
    X(swr_get_delay)                                                                               \
    X(swr_init)                                                                                    \
    X(swr_set_matrix)

struct FfmpegApi {
#define VELMO_FFMPEG_POINTER(name) decltype(&::name) name = nullptr;
    VELMO_FFMPEG_FUNCTIONS(VELMO_FFMPEG_POINTER)
#undef VELMO_FFMPEG_POINTER
};

// Opens the libraries on the first call; a call made while another thread is
// opening them waits for it. nullptr when a library or a function is missing.
const FfmpegApi* LoadFfmpeg();

// The functions, once LoadFfmpeg() has succeeded: every user of FFmpeg holds
// a decoder, and a decoder exists only after a successful load.
inline const FfmpegApi& ffmpeg() { return *LoadFfmpeg(); }

}  // namespace velmo::audio
