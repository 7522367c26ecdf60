# Sound of the tests: known tones played into the null sinks of the private sound server, whose
# monitors the recorder and graphrec record. Source it; it defines functions only.

# keep_sink_running SINK: plays silence into SINK for as long as the sink exists. A null sink
# that starts running from idle hands a recorder that attaches to its monitor nothing for the
# next one to two seconds (measured with parecord under PulseAudio 16 and 17: 1.4 s kept of a
# 3 s recording begun 0.4 s after the player; 3.0 s with the sink already running). That
# sound never reaches any recorder, and it would count against ours.
keep_sink_running() {
    pacat --playback --device="$1" --latency-msec=20 --raw --format=s16le --rate=44100 \
        --channels=2 /dev/zero >/dev/null 2>&1 &
}

# load_sink NAME DESCRIPTION: a null sink of its own, kept running; prints the module's index.
# Its silent player ends when the module is unloaded.
load_sink() {
    local module
    module=$(pactl load-module module-null-sink sink_name="$1" \
        sink_properties=device.description="$2") || return 1
    keep_sink_running "$1"
    echo "$module"
}

# load_pipe_source NAME DESCRIPTION SIGNAL [SPEED]: a source of its own that is not a monitor
# (a microphone to Wine), fed in real time by tests/lib/pipe_feeder.py with SIGNAL (a frequency,
# or "count") at SPEED; prints the module's index. Its feeder ends when the module is unloaded.
load_pipe_source() {
    local fifo=$CORVALE_WORK/$1.fifo module
    module=$(pactl load-module module-pipe-source source_name="$1" file="$fifo" format=s16le \
        rate=44100 channels=2 source_properties=device.description="$2") || return 1
    python3 "$CORVALE_ROOT/tests/lib/pipe_feeder.py" "$fifo" "$3" "${4:-1}" >/dev/null 2>&1 &
    echo "$module"
}

# play_into SINK FILE: plays FILE into SINK in the background; PLAYER_PID names the player. Its
# latency leaves room for a busy machine: at 20 ms the player underran there, leaving silences
# of 10 to 30 ms in the sink's sound; the sink, kept running at 20 ms, still hands its monitor
# the sound in small steps.
play_into() {
    paplay --latency-msec=200 --device="$1" "$2" >/dev/null 2>&1 &
    PLAYER_PID=$!
}

stop_playing() {
    [ -n "${PLAYER_PID:-}" ] && kill "$PLAYER_PID" 2>/dev/null
    wait "${PLAYER_PID:-}" 2>/dev/null
    PLAYER_PID=
}
