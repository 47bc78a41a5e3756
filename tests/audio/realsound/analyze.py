#!/usr/bin/env python3
"""Checks a recording of RealSoundPlayer: mono s16le at 44100 Hz.

    analyze.py RECORDING              the five phases of a 1 kHz file
    analyze.py RECORDING LEVEL_DB     the plain phase only: 1 kHz at LEVEL_DB
    analyze.py RECORDING speed SECONDS    a 1 kHz file played faster or slower:
                                      still 1 kHz, sounding for SECONDS
    analyze.py RECORDING loop PERIOD  a looped sweep: no silence, and the
                                      sound repeats every PERIOD seconds

The phases start at the first loud sample and last PHASE seconds each; the
middle of every phase is measured so that latency and timer jitter do not
matter. A loaded machine may starve the sound server for a moment, which
records as short silent gaps: levels are the median over 10 ms blocks that
hold sound, and the frequency is the peak of the spectrum."""
import math
import statistics
import struct
import sys

RATE = 44100
PHASE = 1.5
MARGIN = 0.4
BLOCK = RATE // 100
SILENT = 1e-4  # a block below -80 dBFS holds no sound
LOOP_WINDOWS = 6


def rms(x):
    return math.sqrt(sum(v * v for v in x) / len(x)) if x else 0.0


def db(value):
    return 20 * math.log10(max(value, 1e-9))


def blocks(x):
    return [x[i:i + BLOCK] for i in range(0, len(x) - BLOCK + 1, BLOCK)]


def level_db(x):
    sounding = [rms(b) for b in blocks(x) if rms(b) > SILENT]
    if len(sounding) < len(blocks(x)) // 2:
        return -200.0
    return db(statistics.median(sounding))


def loudest_db(x):
    return db(max(rms(b) for b in blocks(x)))


def power(x, f):
    # Goertzel: the signal's power at frequency f.
    k = 2 * math.cos(2 * math.pi * f / RATE)
    s1 = s2 = 0.0
    for v in x:
        s1, s2 = v + k * s1 - s2, s1
    return s1 * s1 + s2 * s2 - k * s1 * s2


def frequency(x):
    # The strongest frequency of the window: a coarse scan, then finer
    # steps around the best. Gaps from a starved sound server only
    # modulate the tone, they do not move its peak.
    x = x[: RATE // 4]
    best = max(range(100, 5000, 25), key=lambda f: power(x, f))
    for step in (5, 1, 0.2):
        candidates = [best + i * step for i in range(-5, 6)]
        best = max(candidates, key=lambda f: power(x, f))
    return best


def report(checks):
    failed = 0
    for text, ok in checks:
        print(("ok   " if ok else "FAIL ") + text)
        failed += not ok
    return 1 if failed else 0


def read(path):
    data = open(path, "rb").read()
    return [s / 32768.0 for s in struct.unpack("<%dh" % (len(data) // 2), data[: len(data) // 2 * 2])]


def sounding_span(samples):
    loud = [i for i in range(0, len(samples)) if abs(samples[i]) > 0.02]
    return (loud[0], loud[-1]) if loud else None


def check_speed(samples, expected_seconds):
    span = sounding_span(samples)
    if span is None:
        print("FAIL: the recording is silent")
        return 1
    seconds = (span[1] - span[0]) / RATE
    middle = (span[0] + span[1]) // 2
    f = frequency(samples[middle: middle + RATE // 2])
    return report([
        ("dominant frequency %.2f Hz" % f, abs(f - 1000) <= 10),
        ("sounding %.3f s, expected %.3f" % (seconds, expected_seconds),
         abs(seconds - expected_seconds) <= 0.02 * expected_seconds),
    ])


def correlation(x, a, b, n):
    return sum(x[a + i] * x[b + i] for i in range(n))


def check_loop(samples, period_seconds):
    span = sounding_span(samples)
    if span is None:
        print("FAIL: the recording is silent")
        return 1
    # The steady part: half a second in, half a second before the end.
    start, end = span[0] + RATE // 2, span[1] - RATE // 2
    # A gap is silence (below -80 dBFS); a stretcher may blend the jump at
    # the wrap into a short dip, which is still sound.
    quietest = min(rms(b) for b in blocks(samples[start:end]))
    # Where the sound repeats: the lag within 5 ms of as many passes as the
    # recording holds at which a fifth of a second matches best. Stretched
    # sound repeats only nearly: each stretched pass places its blocks a
    # little differently, so one window's lag is off by a few milliseconds
    # either way. The lag is therefore found from windows spread over a
    # whole pass and averaged, and divided by the passes between them.
    n = RATE // 5
    period = period_seconds * RATE
    reach = RATE // 200
    spread = int(period)
    passes = max(1, int((end - start - spread - n - reach) // period))
    expected = int(round(passes * period))
    if start + spread + expected + reach + n > end:
        raise SystemExit("FAIL: the recording ends too early")
    lags = range(expected - reach, expected + reach + 1)
    windows = [start + k * spread // LOOP_WINDOWS for k in range(LOOP_WINDOWS)]
    best = statistics.mean(max(lags, key=lambda lag: correlation(samples, w, w + lag, n)) for w in windows)
    error_ms = (best - expected) * 1000.0 / RATE / passes
    return report([
        ("no silence between passes: quietest 10 ms %.1f dBFS" % db(quietest), db(quietest) > -60),
        ("passes repeat every %.4f s, expected %.4f (%+.2f ms)" % (best / RATE / passes, period_seconds, error_ms),
         abs(error_ms) <= 1.0),
    ])


def main(path, plain_level=None):
    samples = read(path)
    onset = next((i for i, s in enumerate(samples) if abs(s) > 0.02), None)
    if onset is None:
        print("FAIL: the recording is silent")
        return 1

    def window(phase):
        start = onset + int((phase * PHASE + MARGIN) * RATE)
        end = onset + int(((phase + 1) * PHASE - MARGIN) * RATE)
        if end > len(samples):
            raise SystemExit("FAIL: the recording ends too early")
        return samples[start:end]

    if plain_level is not None:
        plain = window(0)
        f_plain, level = frequency(plain), level_db(plain)
        return report([
            ("dominant frequency %.2f Hz" % f_plain, abs(f_plain - 1000) <= 10),
            ("level %.2f dBFS, expected %.2f" % (level, plain_level), abs(level - plain_level) <= 1.5),
        ])

    plain, boosted, quiet, paused, resumed = (window(p) for p in range(5))
    base = level_db(plain)
    f_plain, f_resumed = frequency(plain), frequency(resumed)
    checks = [
        ("dominant frequency %.2f Hz" % f_plain, abs(f_plain - 1000) <= 10),
        ("plain level %.2f dBFS" % base, -40 < base < -10),
        ("1 kHz band +12 dB: %+.2f dB" % (level_db(boosted) - base), abs(level_db(boosted) - base - 12) <= 1),
        ("volume 0.1: %+.2f dB" % (level_db(quiet) - base), abs(level_db(quiet) - base + 20) <= 1),
        ("paused: loudest block %.2f dBFS" % loudest_db(paused), loudest_db(paused) < base - 50),
        ("resumed: %+.2f dB, %.2f Hz" % (level_db(resumed) - base, f_resumed),
         abs(level_db(resumed) - base) <= 1 and abs(f_resumed - 1000) <= 10),
    ]
    return report(checks)


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[2] == "speed":
        sys.exit(check_speed(read(sys.argv[1]), float(sys.argv[3])))
    if len(sys.argv) == 4 and sys.argv[2] == "loop":
        sys.exit(check_loop(read(sys.argv[1]), float(sys.argv[3])))
    sys.exit(main(sys.argv[1], float(sys.argv[2]) if len(sys.argv) > 2 else None))
