#pragma once
// The fuzz targets' entry functions, compiled into the normal suite under
// their own names so every seed and every input a fuzz run once crashed on is
// replayed by plain `ctest`, without clang or sanitizers.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

// A broken property fails the replaying test instead of aborting the suite.
#define FUZZ_REQUIRE(condition)                                      \
    do {                                                             \
        if (!(condition))                                            \
            ADD_FAILURE() << "fuzz target property broken: " #condition; \
    } while (0)

extern "C" {
int ReplayMarkerFile(const uint8_t* data, size_t size);
int ReplayPlaylistFile(const uint8_t* data, size_t size);
int ReplayProfileFile(const uint8_t* data, size_t size);
int ReplayTimeText(const uint8_t* data, size_t size);
int ReplayHandOffRecord(const uint8_t* data, size_t size);
int ReplayAudioFile(const uint8_t* data, size_t size);
int ReplayMarkerExchange(const uint8_t* data, size_t size);
}
