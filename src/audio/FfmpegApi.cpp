#include "audio/FfmpegApi.h"

#include <dlfcn.h>

#include <array>

namespace velmo::audio {
namespace {

#define VELMO_STRINGIFY(x) #x
#define VELMO_SONAME(lib, major) "lib" #lib ".so." VELMO_STRINGIFY(major)

// The libraries' major versions are those of the headers we were built with.
constexpr std::array Libraries = {
    VELMO_SONAME(avutil, LIBAVUTIL_VERSION_MAJOR),
    VELMO_SONAME(swresample, LIBSWRESAMPLE_VERSION_MAJOR),
    VELMO_SONAME(avcodec, LIBAVCODEC_VERSION_MAJOR),
    VELMO_SONAME(avformat, LIBAVFORMAT_VERSION_MAJOR),
};

bool Open(FfmpegApi& api) {
    std::array<void*, Libraries.size()> handles{};
    for (size_t i = 0; i < Libraries.size(); ++i)
        if (!(handles[i] = dlopen(Libraries[i], RTLD_NOW | RTLD_LOCAL)))
            return false;
    // The libraries stay open for the life of the process.
    const auto find = [&](const char* name) -> void* {
        for (void* handle : handles)
            if (void* symbol = dlsym(handle, name))
                return symbol;
        return nullptr;
    };
    bool complete = true;
#define VELMO_FFMPEG_FIND(name)                                       \
    api.name = reinterpret_cast<decltype(api.name)>(find(#name));    \
    complete = complete && api.name;
    VELMO_FFMPEG_FUNCTIONS(VELMO_FFMPEG_FIND)
#undef VELMO_FFMPEG_FIND
    return complete;
}

}  // namespace

const FfmpegApi* LoadFfmpeg() {
    static const FfmpegApi* const loaded = [] {
        static FfmpegApi api;
        return Open(api) ? &api : nullptr;
    }();
    return loaded;
}

}  // namespace velmo::audio
