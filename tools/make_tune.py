#!/usr/bin/python3
"""Writes the splash's tune, a standard MIDI file of about half a minute.

    make_tune.py OUTPUT        e.g. make_tune.py resources/Internet.mid

A flute sings over a harp that ripples in sixteenths like running water,
with strings holding the chords and a bouncing bass, in D major. The output
is the same byte for byte at every run, so the committed file can be checked
against this script.
"""

import struct
import sys

TICKS_PER_BEAT = 480
BEATS_PER_MINUTE = 126
BEATS_PER_BAR = 4

# General MIDI programs (counted from 0) and the channel each part plays on.
FLUTE, HARP, STRINGS, BASS = 73, 46, 48, 32
PARTS = (
    # name, channel, program, pan, reverb, chorus
    ("Flauto", 0, FLUTE, 64, 70, 20),
    ("Arpa", 1, HARP, 44, 80, 30),
    ("Archi", 2, STRINGS, 84, 80, 40),
    ("Basso", 3, BASS, 64, 40, 0),
)

NOTE_NAMES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}

# Chord symbol -> pitch classes from the root.
CHORDS = {
    "D": (2, 6, 9),
    "Em": (4, 7, 11),
    "F#m": (6, 9, 1),
    "G": (7, 11, 2),
    "A": (9, 1, 4),
    "A7": (9, 1, 4, 7),
    "Bm": (11, 2, 6),
}

# One entry a bar: the chords and the beats each lasts. The first bar only
# ripples; the last holds the home chord while everything settles.
HARMONY = [
    [("D", 4)],
    # the river
    [("D", 4)], [("Bm", 4)], [("G", 4)], [("A", 4)],
    [("D", 4)], [("F#m", 4)], [("G", 2), ("A", 2)], [("D", 4)],
    # the weir, then home
    [("G", 4)], [("A", 4)], [("F#m", 4)], [("Bm", 4)],
    [("Em", 2), ("A7", 2)], [("D", 4)],
    [("D", 4)],
]

# The flute: (note, beats) a bar, "r" a rest. Every bar sums to four beats.
MELODY = [
    [("r", 4)],
    [("F#5", 1.5), ("E5", 0.5), ("D5", 1), ("A4", 1)],
    [("B4", 0.5), ("C#5", 0.5), ("D5", 0.5), ("F#5", 0.5), ("E5", 1), ("D5", 1)],
    [("D5", 1.5), ("B4", 0.5), ("G5", 1), ("F#5", 0.5), ("E5", 0.5)],
    [("E5", 2), ("C#5", 1), ("A4", 1)],
    [("F#5", 1.5), ("G5", 0.5), ("A5", 1), ("F#5", 1)],
    [("A5", 0.5), ("G5", 0.5), ("F#5", 0.5), ("E5", 0.5), ("C#5", 1), ("A4", 1)],
    [("B4", 0.5), ("D5", 0.5), ("G5", 1), ("A5", 0.5), ("G5", 0.5), ("E5", 1)],
    [("D5", 3), ("r", 1)],
    [("B5", 1), ("A5", 0.5), ("G5", 0.5), ("D5", 1), ("G5", 1)],
    [("A5", 1), ("G5", 0.5), ("F#5", 0.5), ("E5", 1), ("C#5", 1)],
    [("F#5", 1), ("E5", 0.5), ("C#5", 0.5), ("A4", 1), ("C#5", 1)],
    [("D5", 1.5), ("C#5", 0.5), ("B4", 1), ("F#5", 1)],
    [("G5", 1), ("E5", 0.5), ("B4", 0.5), ("A4", 0.5), ("C#5", 0.5), ("E5", 0.5), ("G5", 0.5)],
    [("F#5", 0.5), ("E5", 0.5), ("D5", 0.5), ("E5", 0.5), ("F#5", 1), ("A5", 1)],
    [("D6", 4)],
]


def pitch(name):
    """'F#5' -> 78 (middle C is C4, 60)."""
    step = NOTE_NAMES[name[0]]
    rest = name[1:]
    while rest and rest[0] in "#b":
        step += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    return 12 * (int(rest) + 1) + step


def ticks(beats):
    return round(beats * TICKS_PER_BEAT)


def chord_spans():
    """(start beat, beats, chord) for every chord of the piece."""
    spans = []
    for bar, chords in enumerate(HARMONY):
        start = bar * BEATS_PER_BAR
        for chord, beats in chords:
            spans.append((start, beats, chord))
            start += beats
    return spans


def in_window(pitch_class, low):
    """The one note of a pitch class in the octave starting at low."""
    return low + (pitch_class - low) % 12


class Part:
    def __init__(self, channel):
        self.channel = channel
        self.events = []  # (tick, order, bytes): note-offs sort before note-ons

    def note(self, start, beats, note, velocity):
        on, off = ticks(start), ticks(start + beats)
        self.events.append((on, 1, bytes([0x90 | self.channel, note, velocity])))
        self.events.append((off, 0, bytes([0x80 | self.channel, note, 0])))

    def control(self, tick, number, value):
        self.events.append((tick, 0, bytes([0xB0 | self.channel, number, value])))

    def program(self, tick, number):
        self.events.append((tick, 0, bytes([0xC0 | self.channel, number])))


def flute(part):
    beat = 0.0
    for bar in MELODY:
        for index, (name, beats) in enumerate(bar):
            if name != "r":
                # Leaning on the bar's first note, lighter on the passing ones.
                velocity = 92 if index == 0 else (80 if beats >= 1 else 72)
                # A breath between notes keeps the line from smearing.
                part.note(beat, beats * 0.92, pitch(name), velocity)
            beat += beats


def harp(part):
    # Up and back down through two octaves of the chord, a sixteenth each:
    # the ripple that runs under the whole piece.
    shape = (0, 2, 3, 4, 5, 4, 3, 2)
    final_bar = (len(HARMONY) - 1) * BEATS_PER_BAR
    for start, beats, chord in chord_spans():
        tones = CHORDS[chord][:3]
        root = in_window(tones[0], 50)  # from D3 up
        ladder = sorted(in_window(pc, root) for pc in tones)
        ladder += [n + 12 for n in ladder]
        if start >= final_bar:
            # The last bar climbs once, three octaves up, and lets it ring.
            climb = ladder + [n + 24 for n in ladder[:2]]
            for step, note in enumerate(climb):
                part.note(start + step * 0.25, BEATS_PER_BAR - step * 0.25, note, 60)
            continue
        for step in range(int(beats * 4)):
            note = ladder[shape[step % len(shape)]]
            velocity = 66 if step % 4 == 0 else 52
            part.note(start + step * 0.25, 0.5, note, velocity)


def strings(part):
    for start, beats, chord in chord_spans():
        # Each pitch class in the same octave window, so the voices barely move.
        for pc in CHORDS[chord]:
            part.note(start, beats, in_window(pc, 55), 48)


def bass(part):
    last = len(HARMONY) - 1
    for start, beats, chord in chord_spans():
        root = in_window(CHORDS[chord][0], 38)  # D2 .. C#3
        fifth = root + 7
        if start >= last * BEATS_PER_BAR:
            part.note(start, 4, root, 84)
        elif beats == 4:
            for offset, length, note, velocity in (
                (0, 1.5, root, 90), (1.5, 0.5, fifth, 70), (2, 1, root + 12, 78), (3, 1, fifth, 70),
            ):
                part.note(start + offset, length * 0.9, note, velocity)
        else:
            part.note(start, 1.5 * 0.9, root, 90)
            part.note(start + 1.5, 0.5 * 0.9, fifth, 70)


def variable_length(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def meta(kind, data):
    return bytes([0xFF, kind]) + variable_length(len(data)) + data


def track_chunk(events):
    body = bytearray()
    now = 0
    for tick, _, data in sorted(events, key=lambda e: (e[0], e[1])):
        body += variable_length(tick - now) + data
        now = tick
    body += variable_length(0) + meta(0x2F, b"")
    return b"MTrk" + struct.pack(">I", len(body)) + bytes(body)


def tune():
    for bar in MELODY:
        assert sum(beats for _, beats in bar) == BEATS_PER_BAR, bar
    for bar in HARMONY:
        assert sum(beats for _, beats in bar) == BEATS_PER_BAR, bar
    assert len(MELODY) == len(HARMONY)
    conductor = [
        (0, 0, meta(0x03, b"Internet")),
        (0, 0, meta(0x51, (60_000_000 // BEATS_PER_MINUTE).to_bytes(3, "big"))),
        (0, 0, meta(0x58, bytes([4, 2, 24, 8]))),  # 4/4
        (0, 0, meta(0x59, bytes([2, 0]))),  # D major
    ]
    chunks = [track_chunk(conductor)]
    writers = {FLUTE: flute, HARP: harp, STRINGS: strings, BASS: bass}
    for name, channel, program, pan, reverb, chorus in PARTS:
        part = Part(channel)
        part.events.append((0, 0, meta(0x03, name.encode("ascii"))))
        part.program(0, program)
        part.control(0, 7, 100)  # volume
        part.control(0, 10, pan)
        part.control(0, 91, reverb)
        part.control(0, 93, chorus)
        writers[program](part)
        chunks.append(track_chunk(part.events))
    header = b"MThd" + struct.pack(">IHHH", 6, 1, len(chunks), TICKS_PER_BEAT)
    return header + b"".join(chunks)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], "wb") as out:
        out.write(tune())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
