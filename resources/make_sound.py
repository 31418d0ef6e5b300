#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Synthesizes oldphone.wav: two rings of an old electromechanical telephone.

A hammer striking two bells about 20 times a second; each strike excites a
few inharmonic partials that decay quickly. Mono, 16-bit PCM, 16 kHz.
Run: python3 resources/make_sound.py
"""
import math
import os
import struct
import wave

RATE = 16000
STRIKE_HZ = 20.0
PARTIALS = [(1180.0, 1.0), (1620.0, 0.55), (2710.0, 0.3), (3950.0, 0.15)]
RINGS = [(0.0, 1.1), (1.5, 1.1)]  # start, length in seconds
LENGTH = 2.9


def sample(t):
    value = 0.0
    for start, length in RINGS:
        local = t - start
        if local < 0:
            continue
        # Strikes stop at the end of the ring; the bells ring out briefly.
        strikes = min(local, length)
        last = math.floor(strikes * STRIKE_HZ) / STRIKE_HZ
        since = local - last
        bell = 1180.0 if int(last * STRIKE_HZ) % 2 == 0 else 1260.0
        envelope = math.exp(-since * (14.0 if local <= length else 9.0))
        for freq, amp in PARTIALS:
            f = freq * bell / 1180.0
            value += amp * envelope * math.sin(2 * math.pi * f * since)
    return value


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "oldphone.wav")
    n = int(LENGTH * RATE)
    raw = [sample(i / RATE) for i in range(n)]
    peak = max(abs(v) for v in raw) or 1.0
    fade = int(0.01 * RATE)
    frames = bytearray()
    for i, v in enumerate(raw):
        gain = min(1.0, (n - i) / fade)  # no click at the end
        frames += struct.pack("<h", int(v / peak * 0.8 * 32767 * gain))
    with wave.open(out, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(bytes(frames))


if __name__ == "__main__":
    main()
