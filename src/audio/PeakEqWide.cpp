// A chain of biquads is a recursion in two directions: along the frames
// (each stage's state) and along the chain (stage k filters what stage k-1
// gave). Run frame by frame, stage after stage, every multiply waits on the
// one before. The wavefront breaks that up: at step t stage k works on frame
// t - k, so within one step no stage needs another's result of the same
// step, and all of them go side by side through 256-bit registers (two
// stages x left and right per register). A chain of S stages delays the
// output by S - 1 steps inside one call; the first and last S - 1 steps run
// with the stages that have no frame yet (or any more) holding their state.

#include "audio/PeakEqWide.h"

#include <immintrin.h>

namespace velmo::audio::wide {
namespace {

#define VELMO_WIDE __attribute__((target("avx2,fma")))

// Registers of P pairs of stages: lanes [stage 2r left, right, stage 2r+1
// left, right]. Stages past the chain's end are the identity (y = x).
template <int P>
struct Wavefront {
    __m256d b0[P], b1[P], b2[P], a1[P], a2[P];
    __m256d z1[P], z2[P];
    __m256d y[P];      // each stage's output of the previous step
    __m256d stage[P];  // each lane's stage index, for the edge steps
};

template <int P>
VELMO_WIDE void load(Wavefront<P>& w, const StereoStage* stages, int count) {
    static const StereoStage identity{1, 0, 0, 0, 0, {0, 0}, {0, 0}};
    for (int r = 0; r < P; ++r) {
        const StereoStage& lo = 2 * r < count ? stages[2 * r] : identity;
        const StereoStage& hi = 2 * r + 1 < count ? stages[2 * r + 1] : identity;
        w.b0[r] = _mm256_setr_pd(lo.b0, lo.b0, hi.b0, hi.b0);
        w.b1[r] = _mm256_setr_pd(lo.b1, lo.b1, hi.b1, hi.b1);
        w.b2[r] = _mm256_setr_pd(lo.b2, lo.b2, hi.b2, hi.b2);
        w.a1[r] = _mm256_setr_pd(lo.a1, lo.a1, hi.a1, hi.a1);
        w.a2[r] = _mm256_setr_pd(lo.a2, lo.a2, hi.a2, hi.a2);
        w.z1[r] = _mm256_setr_pd(lo.z1[0], lo.z1[1], hi.z1[0], hi.z1[1]);
        w.z2[r] = _mm256_setr_pd(lo.z2[0], lo.z2[1], hi.z2[0], hi.z2[1]);
        w.y[r] = _mm256_setzero_pd();
        w.stage[r] = _mm256_setr_pd(2 * r, 2 * r, 2 * r + 1, 2 * r + 1);
    }
}

template <int P>
VELMO_WIDE void store(const Wavefront<P>& w, StereoStage* stages, int count) {
    for (int r = 0; r < P; ++r) {
        alignas(32) double z1[4], z2[4];
        _mm256_store_pd(z1, w.z1[r]);
        _mm256_store_pd(z2, w.z2[r]);
        for (int half = 0; half < 2; ++half) {
            if (2 * r + half >= count)
                break;
            StereoStage& s = stages[2 * r + half];
            for (int ch = 0; ch < 2; ++ch) {
                s.z1[ch] = z1[2 * half + ch];
                s.z2[ch] = z2[2 * half + ch];
            }
        }
    }
}

// One step: stage 0 takes `input`, every later stage its predecessor's
// output of the previous step; returns the last stage's output. `Edge`
// steps keep the state of stages whose frame index t - k lies outside
// [0, frames).
template <int P, bool Edge>
VELMO_WIDE __attribute__((always_inline)) inline __m128d step(Wavefront<P>& w, __m128d input, int t, int frames) {
    __m256d x[P];
    x[0] = _mm256_set_m128d(_mm256_castpd256_pd128(w.y[0]), input);
#pragma GCC unroll 16
    for (int r = 1; r < P; ++r)
        x[r] = _mm256_permute2f128_pd(w.y[r - 1], w.y[r], 0x21);
    __m256d first, last;
    if constexpr (Edge) {
        // Lanes whose stage k has a frame this step: 0 <= t - k < frames.
        first = _mm256_set1_pd(t);
        last = _mm256_set1_pd(t - frames + 1);
    }
#pragma GCC unroll 16
    for (int r = 0; r < P; ++r) {
        const __m256d y = _mm256_fmadd_pd(w.b0[r], x[r], w.z1[r]);
        __m256d z1 = _mm256_fnmadd_pd(w.a1[r], y, _mm256_fmadd_pd(w.b1[r], x[r], w.z2[r]));
        __m256d z2 = _mm256_fnmadd_pd(w.a2[r], y, _mm256_mul_pd(w.b2[r], x[r]));
        if constexpr (Edge) {
            const __m256d active = _mm256_and_pd(_mm256_cmp_pd(w.stage[r], first, _CMP_LE_OQ),
                                                 _mm256_cmp_pd(w.stage[r], last, _CMP_GE_OQ));
            z1 = _mm256_blendv_pd(w.z1[r], z1, active);
            z2 = _mm256_blendv_pd(w.z2[r], z2, active);
        }
        w.y[r] = y;
        w.z1[r] = z1;
        w.z2[r] = z2;
    }
    return _mm256_extractf128_pd(w.y[P - 1], 1);
}

VELMO_WIDE inline __m128d loadFrame(const float* p) {
    return _mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))));
}

VELMO_WIDE inline void storeFrame(float* p, __m128d v) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_castps_si128(_mm_cvtpd_ps(v)));
}

template <int P>
VELMO_WIDE void run(StereoStage* stages, int count, float* samples, int frames) {
    constexpr int delay = 2 * P - 1;  // steps from a frame entering to leaving
    Wavefront<P> w;
    load(w, stages, count);
    const int steps = frames + delay;
    const int fullFrom = delay < frames ? delay : frames;  // steps with every stage busy:
    const int fullTo = frames;                             // [fullFrom, fullTo)
    int t = 0;
    for (; t < fullFrom; ++t)  // filling: nothing leaves yet
        step<P, true>(w, loadFrame(samples + 2 * t), t, frames);
    for (; t < fullTo; ++t)
        storeFrame(samples + 2 * (t - delay), step<P, false>(w, loadFrame(samples + 2 * t), t, frames));
    for (; t < steps; ++t) {  // draining
        const __m128d in = t < frames ? loadFrame(samples + 2 * t) : _mm_setzero_pd();
        const __m128d out = step<P, true>(w, in, t, frames);
        if (t >= delay)
            storeFrame(samples + 2 * (t - delay), out);
    }
    store(w, stages, count);
}

}  // namespace

bool available() {
    static const bool yes = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return yes;
}

void processStereo(StereoStage* stages, int count, float* samples, int frames) {
    // Up to ten stages share one wavefront (five registers of state pairs
    // and outputs stay within the sixteen the processor has); longer chains
    // run in groups one after another.
    constexpr int kGroup = 10;
    for (int first = 0; first < count; first += kGroup) {
        const int n = count - first < kGroup ? count - first : kGroup;
        switch ((n + 1) / 2) {
        case 1: run<1>(stages + first, n, samples, frames); break;
        case 2: run<2>(stages + first, n, samples, frames); break;
        case 3: run<3>(stages + first, n, samples, frames); break;
        case 4: run<4>(stages + first, n, samples, frames); break;
        default: run<5>(stages + first, n, samples, frames); break;
        }
    }
}

}  // namespace velmo::audio::wide
