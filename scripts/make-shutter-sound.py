#!/usr/bin/env python3
"""Synthesizes the default event sound, a mechanical camera shutter, as a small WAV file.

    scripts/make-shutter-sound.py [output.wav]

Two short clicks (shutter opening and closing) made of decaying noise over a low thump, then a
faint spring rattle. Deterministic: the same bytes on every run, so the committed file can be
checked against this script.
"""
import math
import os
import struct
import sys
import wave

RATE = 22050
LENGTH_S = 0.32


class Noise:
    """A small linear congruential generator: reproducible white noise in -1..1."""

    def __init__(self, seed):
        self.state = seed

    def next(self):
        self.state = (self.state * 1103515245 + 12345) & 0x7FFFFFFF
        return self.state / 0x3FFFFFFF - 1.0


def click(t, start, noise_level, thump_hz, decay_s):
    if t < start:
        return 0.0, 0.0
    dt = t - start
    env = math.exp(-dt / decay_s)
    thump = math.sin(2 * math.pi * thump_hz * dt) * math.exp(-dt / (decay_s * 3))
    return noise_level * env, 0.55 * thump


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), "..", "resources", "dist", "Sounds", "クラシック カメラ.wav")
    noise = Noise(20070101)
    frames = bytearray()
    prev = 0.0
    for n in range(int(RATE * LENGTH_S)):
        t = n / RATE
        white = noise.next()
        # A one-pole high-pass keeps the clicks crisp rather than hissy.
        hp = white - 0.6 * prev
        prev = white
        level = 0.0
        for start, amount, hz, decay in ((0.005, 0.9, 190, 0.006), (0.085, 0.75, 150, 0.008)):
            n_amp, thump = click(t, start, amount, hz, decay)
            level += n_amp * hp + thump
        if t > 0.10:  # the spring settling after the second click
            level += 0.08 * hp * math.exp(-(t - 0.10) / 0.05) * (0.5 + 0.5 * math.sin(2 * math.pi * 60 * t))
        fade = min(1.0, (LENGTH_S - t) / 0.02)
        sample = max(-1.0, min(1.0, 0.6 * level * fade))
        frames += struct.pack("<h", int(sample * 30000))
    with wave.open(out, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(bytes(frames))


if __name__ == "__main__":
    main()
