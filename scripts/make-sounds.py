#!/usr/bin/env python3
"""Synthesises the message box's four signal sounds into resources/dialogs/.

Each sound is a few soft bell-like notes: a sine with two quiet overtones, a short attack
so that nothing clicks, and an exponential fade. Only the standard library is used, and the
output is the same on every run, so the committed files can be checked by running this again.

    python3 scripts/make-sounds.py [output-folder]
"""

import math
import os
import struct
import sys
import wave

RATE = 22050
PEAK = 0.55  # of full scale: signals, not alarms


def note(freq, start, length, fade):
    """One bell note as (start, length, sample function)."""

    def sample(t):
        attack = min(1.0, t / 0.006)
        env = attack * math.exp(-t / fade)
        tone = (math.sin(2 * math.pi * freq * t)
                + 0.30 * math.sin(2 * math.pi * 2 * freq * t) * math.exp(-t / (fade * 0.5))
                + 0.12 * math.sin(2 * math.pi * 3.01 * freq * t) * math.exp(-t / (fade * 0.3)))
        return env * tone / 1.42

    return (start, length, sample)


def render(notes, total):
    count = int(total * RATE)
    out = [0.0] * count
    for start, length, sample in notes:
        first = int(start * RATE)
        for i in range(int(length * RATE)):
            if first + i >= count:
                break
            out[first + i] += sample(i / RATE)
    # A short fade at the very end, so that the file never stops on a non-zero sample.
    tail = int(0.02 * RATE)
    for i in range(tail):
        out[count - tail + i] *= 1.0 - (i + 1) / tail
    loudest = max(abs(s) for s in out) or 1.0
    return [s * PEAK / loudest for s in out]


SOUNDS = {
    # a single gentle chime
    "Infozeichen.wav": ([note(783.99, 0.0, 0.45, 0.16)], 0.45),
    # two notes rising, like a question
    "Fragezeichen.wav": ([note(659.25, 0.0, 0.25, 0.10), note(880.00, 0.14, 0.40, 0.14)], 0.55),
    # two quick bright notes of the same pitch
    "Ausrufezeichen.wav": ([note(987.77, 0.0, 0.20, 0.07), note(987.77, 0.13, 0.35, 0.11)], 0.48),
    # two lower notes falling
    "Stoppzeichen.wav": ([note(440.00, 0.0, 0.30, 0.12), note(329.63, 0.16, 0.50, 0.18)], 0.66),
}


def write(path, samples):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(round(s * 32767))) for s in samples))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.normpath(os.path.join(here, "..", "resources", "dialogs"))
    os.makedirs(folder, exist_ok=True)
    for name, (notes, total) in SOUNDS.items():
        write(os.path.join(folder, name), render(notes, total))
        print(os.path.join(folder, name))


if __name__ == "__main__":
    main()
