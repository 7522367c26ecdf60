# A sound source of the tests that is not a sink's monitor: to Wine a microphone. Source it
# after tests/lib/testlib.sh; it defines functions only.

# load_pipe_source NAME DESCRIPTION FREQ: a source of its own that is not a monitor (a
# microphone to Wine), fed in real time with a FREQ Hz sine at half scale; prints the module's
# index. Its feeder ends when the module is unloaded.
load_pipe_source() {
    local fifo=$CORVALE_WORK/$1.fifo module
    module=$(pactl load-module module-pipe-source source_name="$1" file="$fifo" format=s16le \
        rate=44100 channels=2 source_properties=device.description="$2") || return 1
    python3 - "$fifo" "$3" >/dev/null 2>&1 <<'PY' &
import math, struct, sys, time
rate = 44100
second = b"".join(struct.pack("<hh", v, v) for v in
                  (int(16384 * math.sin(2 * math.pi * float(sys.argv[2]) * i / rate)) for i in range(rate)))
step = len(second) // 10
with open(sys.argv[1], "wb", buffering=0) as fifo:
    start, sent = time.monotonic(), 0
    while True:
        at = sent * step % len(second)
        fifo.write(second[at:at + step])
        sent += 1
        time.sleep(max(0.0, start + sent * 0.1 - time.monotonic()))
PY
    echo "$module"
}
