#!/usr/bin/env python3
"""Synthesises resources/about/Blues.wav, the music of the about window.

A 12-bar shuffle in A: a boogie bass line, off-beat seventh-chord stabs and a soft
hi-hat, mono, 22050 Hz, 8-bit, about twelve seconds. Only the standard library is used and
the noise is seeded, so running the script again writes the same file byte for byte.

    python3 scripts/make-blues.py [output.wav]
"""
import math
import random
import sys
import wave
from pathlib import Path

RATE = 22050
TEMPO = 240  # quarter notes per minute
BEAT = 60.0 / TEMPO
SWING = 2.0 / 3.0  # the long eighth of a shuffle takes two thirds of the beat

# Semitones above A of each bar's chord: I I I I IV IV I I V IV I V (turnaround).
BARS = [0, 0, 0, 0, 5, 5, 0, 0, 7, 5, 0, 7]
# The boogie figure in semitones above the chord's root: R 3 5 6 b7 6 5 3, one per eighth.
BOOGIE = [0, 4, 7, 9, 10, 9, 7, 4]
SEVENTH_CHORD = [0, 4, 7, 10]

A2 = 110.0


def freq(base, semitones):
    return base * 2.0 ** (semitones / 12.0)


def eighth_start(bar, eighth):
    beat, half = divmod(eighth, 2)
    return (bar * 4 + beat + (SWING if half else 0.0)) * BEAT


def add_tone(buf, start, length, hz, amp, partials, decay):
    """A plucked tone: a few harmonics under an exponential decay, with a short attack and
    release so that no note starts or ends with a click."""
    first = int(start * RATE)
    count = int(length * RATE)
    attack = int(0.004 * RATE)
    release = int(0.015 * RATE)
    for n in range(count):
        i = first + n
        if i >= len(buf):
            break
        t = n / RATE
        env = math.exp(-t * decay)
        if n < attack:
            env *= n / attack
        if n > count - release:
            env *= (count - n) / release
        s = 0.0
        for k, weight in partials:
            s += weight * math.sin(2.0 * math.pi * hz * k * t)
        buf[i] += amp * env * s


def add_hat(buf, start, amp, rng):
    first = int(start * RATE)
    count = int(0.035 * RATE)
    prev = 0.0
    for n in range(count):
        i = first + n
        if i >= len(buf):
            break
        white = rng.uniform(-1.0, 1.0)
        bright = white - prev  # a first difference keeps only the hiss
        prev = white
        buf[i] += amp * math.exp(-n / RATE * 90.0) * bright


def render():
    total = len(BARS) * 4 * BEAT
    buf = [0.0] * int(total * RATE)
    rng = random.Random(1959)
    bass = [(1, 1.0), (2, 0.45), (3, 0.2), (4, 0.08)]
    keys = [(1, 1.0), (2, 0.3), (3, 0.12)]

    for bar, root in enumerate(BARS):
        last = bar == len(BARS) - 1
        for eighth, step in enumerate(BOOGIE):
            if last and eighth >= 4:
                step = 7 - (eighth - 4)  # walk down to the fifth's neighbour, leads back to A
            start = eighth_start(bar, eighth)
            length = (SWING if eighth % 2 == 0 else 1.0 - SWING) * BEAT * 0.95
            add_tone(buf, start, length, freq(A2, root + step), 0.42, bass, 5.0)
            add_hat(buf, start, 0.10 if eighth % 2 == 0 else 0.06, rng)
        # Chord stabs on the short eighths after beats 2 and 4.
        for eighth in (3, 7):
            start = eighth_start(bar, eighth)
            for note in SEVENTH_CHORD:
                add_tone(buf, start, BEAT * 0.3, freq(A2 * 2, root + note + 12), 0.09, keys, 9.0)

    # Fade the last few milliseconds so that a restart of the loop does not click.
    fade = int(0.02 * RATE)
    for n in range(fade):
        buf[-1 - n] *= n / fade
    return buf


def write(path, buf):
    peak = max(abs(s) for s in buf) or 1.0
    scale = 0.9 / peak
    rng = random.Random(7)
    frames = bytearray()
    for s in buf:
        # 8-bit unsigned PCM, with a little triangular dither against quantisation buzz.
        v = s * scale * 127.0 + (rng.random() - rng.random()) * 0.5
        frames.append(max(0, min(255, int(round(v + 128.0)))))
    with wave.open(str(path), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(1)
        out.setframerate(RATE)
        out.writeframes(bytes(frames))


def main():
    default = Path(__file__).resolve().parent.parent / "resources" / "about" / "Blues.wav"
    path = Path(sys.argv[1]) if len(sys.argv) > 1 else default
    write(path, render())


if __name__ == "__main__":
    main()
