# pipe_feeder.py FIFO SIGNAL [SPEED]: feeds a PulseAudio pipe source, 44.1 kHz 16-bit stereo,
# in real time (SPEED times it: 1.001 is 0.1 % fast). SIGNAL is a frequency in Hz (a sine at
# half scale) or "count": each frame holds its own number, low 16 bits left, high 16 bits right.
# A pipe source has no clock of its own: it runs at the pace it is fed, hundreds of times real
# time if fed that fast (measured with PulseAudio 16). While nothing records it, the sound
# server does not read the FIFO and the writes block; the time they blocked is not made up
# afterwards, which would run the source fast for as long (a recorder through Wine then loses
# pieces of it). A late wake-up on a busy machine is made up: nothing is skipped, every frame
# follows its predecessor. The pipe holds little, so that what waited in it is a short burst.
import fcntl
import math
import os
import struct
import sys
import time

RATE = 44100
TICK = 0.01
# A write that takes longer waited for a reader.
BLOCKED = 0.05


def frames(signal, first, count):
    if signal == "count":
        return b"".join(struct.pack("<HH", n & 0xFFFF, (n >> 16) & 0xFFFF)
                        for n in range(first, first + count))
    step = 2 * math.pi * float(signal) / RATE
    return b"".join(struct.pack("<hh", v, v) for v in
                    (int(16384 * math.sin(step * (n % RATE))) for n in range(first, first + count)))


def main():
    fifo, signal = sys.argv[1], sys.argv[2]
    speed = float(sys.argv[3]) if len(sys.argv) > 3 else 1.0
    out = os.open(fifo, os.O_WRONLY)
    fcntl.fcntl(out, fcntl.F_SETPIPE_SZ, 16384)
    sent = 0
    start = time.monotonic()
    while True:
        due = int((time.monotonic() - start) * RATE * speed)
        if due > sent:
            chunk = frames(signal, sent, due - sent)
            before = time.monotonic()
            os.write(out, chunk)
            blocked = time.monotonic() - before
            if blocked > BLOCKED:
                start += blocked
            sent = due
        time.sleep(max(0.0, start + sent / (RATE * speed) + TICK - time.monotonic()))


main()
