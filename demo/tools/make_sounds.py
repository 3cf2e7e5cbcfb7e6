#!/usr/bin/python3
"""Synthesises the demo's music and sound effect as WAV files.

Usage: make_sounds.py OUTPUT_DIR   (writes OUTPUT_DIR/bgm/theme.wav, snd/chime.wav)

The music is a gentle eight-second loop (four chords under a small melody)
that the game repeats without end; the chime is a short bell for the sound
effect. Mono, 16-bit, 22050 Hz keeps both small.
"""
import os
import sys
import wave

import numpy as np

RATE = 22050


def note(frequency, seconds, volume=1.0, decay=3.0, harmonics=(1.0, 0.35, 0.12)):
    """A soft plucked tone: a few harmonics under an exponential decay."""
    t = np.arange(int(seconds * RATE)) / RATE
    tone = sum(a * np.sin(2 * np.pi * frequency * (i + 1) * t) for i, a in enumerate(harmonics))
    attack = np.minimum(t / 0.01, 1.0)
    return volume * tone * attack * np.exp(-decay * t)


def midi(n):
    return 440.0 * 2 ** ((n - 69) / 12.0)


def theme():
    """C - Am - F - G, one bar of two seconds each, with a melody on top."""
    bar = 2.0
    length = int(4 * bar * RATE)
    total = np.zeros(length + int(bar * RATE))  # room for the last notes' tails
    chords = [(48, 55, 64), (45, 52, 60), (41, 48, 57), (43, 50, 59)]
    melody = [[76, 74, 72, 74], [72, 71, 69, 71], [69, 72, 77, 76], [74, 71, 67, 71]]
    for i, chord in enumerate(chords):
        start = int(i * bar * RATE)
        for k, n in enumerate(chord):
            # the chord tones, gently arpeggiated
            offset = start + int(k * 0.08 * RATE)
            sound = note(midi(n), bar, 0.22, decay=1.2)
            total[offset:offset + len(sound)] += sound
        for k, n in enumerate(melody[i]):
            offset = start + int(k * bar / 4 * RATE)
            sound = note(midi(n), bar / 2, 0.25, decay=4.0)
            total[offset:offset + len(sound)] += sound
    # Fold the tails that ran past the end back onto the start: the loop is seamless.
    tail = total[length:]
    total = total[:length]
    total[:len(tail)] += tail
    return total


def chime():
    """A bright two-note bell."""
    first = note(midi(84), 1.0, 0.5, decay=5.0, harmonics=(1.0, 0.0, 0.3, 0.0, 0.1))
    second = note(midi(91), 0.9, 0.45, decay=5.0, harmonics=(1.0, 0.0, 0.3, 0.0, 0.1))
    total = np.zeros(int(1.1 * RATE))
    total[:len(first)] += first
    start = int(0.12 * RATE)
    total[start:start + len(second)] += second
    return total


def write_wav(path, samples):
    peak = np.max(np.abs(samples)) or 1.0
    data = (samples / peak * 0.8 * 32767).astype("<i2")
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(data.tobytes())


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    for folder in ("bgm", "snd"):
        os.makedirs(os.path.join(sys.argv[1], folder), exist_ok=True)
    write_wav(os.path.join(sys.argv[1], "bgm", "theme.wav"), theme())
    write_wav(os.path.join(sys.argv[1], "snd", "chime.wav"), chime())


if __name__ == "__main__":
    main()
