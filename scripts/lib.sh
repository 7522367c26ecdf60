# Shared shell functions of the set-up, run and test scripts. Source it; it defines functions
# only, and the caller decides what to start. Everything started here is recorded in
# CORVALE_STARTED_PIDS so that corvale_teardown can end it again.

CORVALE_ROOT=${CORVALE_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
CORVALE_WINE=${CORVALE_WINE:-/usr/lib/wine/wine64}
source "$CORVALE_ROOT/scripts/wineprefix.sh"
# Sourced again (by the test library) after something was started, it keeps the list.
declare -p CORVALE_STARTED_PIDS >/dev/null 2>&1 || CORVALE_STARTED_PIDS=()
# What building and running the recorder needs, and what the tests need besides.
CORVALE_PACKAGES=(wine64 g++-mingw-w64-x86-64 mingw-w64-tools cmake ninja-build xvfb x11-utils
    python3 pulseaudio-utils fp-utils)
# The sound server started when none answers: CORVALE_SOUND_SERVER=pulseaudio (the default) or
# pipewire (with its session manager, its PulseAudio server and a session bus of its own).
CORVALE_SOUND_SERVER=${CORVALE_SOUND_SERVER:-pulseaudio}
declare -gA CORVALE_SOUND_PACKAGES=([pulseaudio]="pulseaudio"
    [pipewire]="pipewire wireplumber pipewire-pulse dbus-daemon")
CORVALE_TEST_PACKAGES=(googletest x11-apps imagemagick sox lintian desktop-file-utils appstream)
# What building the installers needs (scripts/package.sh; the tests build them too).
CORVALE_PACKAGING_PACKAGES=(wixl msitools)

corvale_log() { printf '[corvale] %s\n' "$*" >&2; }

corvale_check_sound_server() {
    [ -n "${CORVALE_SOUND_PACKAGES[$CORVALE_SOUND_SERVER]:-}" ] && return 0
    corvale_log "CORVALE_SOUND_SERVER is pulseaudio or pipewire, not $CORVALE_SOUND_SERVER"; return 1
}

# corvale_install_deps [test|package]: installs the Debian packages that are missing (with
# "package", what the installers need too; with "test", the tests' and those); a machine that
# has them all is left alone.
corvale_install_deps() {
    local missing=() p wanted=("${CORVALE_PACKAGES[@]}")
    corvale_check_sound_server || return 1
    wanted+=(${CORVALE_SOUND_PACKAGES[$CORVALE_SOUND_SERVER]})
    case ${1:-} in
    test) wanted+=("${CORVALE_TEST_PACKAGES[@]}" "${CORVALE_PACKAGING_PACKAGES[@]}") ;;
    package) wanted+=("${CORVALE_PACKAGING_PACKAGES[@]}") ;;
    esac
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    corvale_log "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q >/dev/null && apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
}

# corvale_configure DIR [CMAKE_ARGS...]: configures DIR for the MinGW-w64 cross build.
corvale_configure() {
    local dir=$1
    shift
    cmake -S "$CORVALE_ROOT" -B "$dir" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$CORVALE_ROOT/cmake/mingw-w64-x86_64.cmake" "$@" >/dev/null
}

# corvale_build DIR [CMAKE_ARGS...]: configures and builds in DIR.
corvale_build() {
    corvale_configure "$@" && cmake --build "$1" -j"$(nproc)"
}

# corvale_build_bench DIR [TARGET...]: the recorder, its filters and the given bench targets.
corvale_build_bench() {
    local dir=$1
    shift
    corvale_configure "$dir" -DCORVALE_BUILD_BENCH=ON &&
        cmake --build "$dir" --target CorvaleRecorder corvale_audiocapture corvale_filewriter \
            corvale_wavdest "$@" >/dev/null
}

# Starts Xvfb on a free display when no X server answers on $DISPLAY.
corvale_ensure_display() {
    if [ -n "${DISPLAY:-}" ] && xwininfo -root >/dev/null 2>&1; then return 0; fi
    # X servers of other roots (a chroot, a container) share the abstract socket names while
    # their lock files are not visible here: a number is free only when nothing answers on it.
    local n=91 pid i
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] ||
        xwininfo -display ":$n" -root >/dev/null 2>&1; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    pid=$!
    CORVALE_STARTED_PIDS+=("$pid")
    export DISPLAY=":$n"
    for i in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        xwininfo -root >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    corvale_log "Xvfb did not start on $DISPLAY"; return 1
}

# corvale_ensure_sound [force]: when no sound server answers (with "force": always), starts a
# private one of CORVALE_SOUND_SERVER, in a runtime folder of its own, with a null sink
# "speakers" described as "Speakers" (the default sink).
corvale_ensure_sound() {
    if [ "${1:-}" != force ] && pactl info >/dev/null 2>&1; then return 0; fi
    corvale_check_sound_server || return 1
    local dir i
    dir=$(mktemp -d /tmp/corvale-sound.XXXXXX)
    export XDG_RUNTIME_DIR=$dir PULSE_RUNTIME_PATH=$dir/pulse
    unset PULSE_SERVER
    "corvale_start_$CORVALE_SOUND_SERVER" "$dir" || return 1
    for i in $(seq 100); do
        [ "$(pactl get-default-sink 2>/dev/null)" = speakers ] && return 0
        sleep 0.1
    done
    corvale_log "$CORVALE_SOUND_SERVER did not start (logs in $dir)"; return 1
}

corvale_start_pulseaudio() {
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --log-target=file:"$1/log" \
        -L module-native-protocol-unix -L module-always-sink \
        -L "module-null-sink sink_name=speakers sink_properties=device.description=Speakers" \
        >/dev/null 2>&1 &
    CORVALE_STARTED_PIDS+=($!)
}

# PipeWire as desktops run it, kept off the machine's own sound: no device monitors, and its
# configuration, state and session bus live in the runtime folder.
corvale_start_pipewire() {
    local dir=$1
    local env=(env DBUS_SESSION_BUS_ADDRESS="unix:path=$dir/bus" XDG_CONFIG_HOME="$dir/config"
        XDG_STATE_HOME="$dir/state")
    local wp=$dir/config/wireplumber
    mkdir -p "$wp/main.lua.d" "$wp/bluetooth.lua.d" "$wp/wireplumber.conf.d"
    # WirePlumber 0.4 (Debian 12) reads Lua settings, 0.5 (Debian 13) profiles.
    printf '%s_monitor.enabled = false\n' alsa v4l2 libcamera >"$wp/main.lua.d/90-corvale.lua"
    printf 'bluez_monitor.enabled = false\n' >"$wp/bluetooth.lua.d/90-corvale.lua"
    printf 'wireplumber.profiles = { main = { %s } }\n' "$(printf 'monitor.%s = disabled ' alsa bluez v4l2 libcamera)" \
        >"$wp/wireplumber.conf.d/90-corvale.conf"
    dbus-daemon --session --nofork --nopidfile --address="unix:path=$dir/bus" >"$dir/dbus.log" 2>&1 &
    CORVALE_STARTED_PIDS+=($!)
    corvale_wait_for "$dir/bus" || return 1
    "${env[@]}" pipewire >"$dir/pipewire.log" 2>&1 &
    CORVALE_STARTED_PIDS+=($!)
    corvale_wait_for "$dir/pipewire-0" || return 1
    "${env[@]}" wireplumber >"$dir/wireplumber.log" 2>&1 &
    CORVALE_STARTED_PIDS+=($!)
    "${env[@]}" pipewire-pulse >"$dir/pipewire-pulse.log" 2>&1 &
    CORVALE_STARTED_PIDS+=($!)
    corvale_wait_for "$dir/pulse/native" || return 1
    pactl load-module module-null-sink sink_name=speakers sink_properties=device.description=Speakers >/dev/null
}

# corvale_wait_for SOCKET: waits up to 10 s for a server's socket.
corvale_wait_for() {
    local i
    for i in $(seq 100); do [ -S "$1" ] && return 0; sleep 0.1; done
    corvale_log "no $1 after 10 s"; return 1
}

corvale_wine() { WINEDEBUG=${WINEDEBUG:--all} "$CORVALE_WINE" "$@"; }

# Creates (or refreshes) a Wine prefix and registers our filters in it. Safe to repeat:
# after a Wine update wineboot puts Wine's own classes back, so registration runs every time.
corvale_prepare_prefix() {
    export WINEPREFIX=$1 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-$CORVALE_WINE_OVERRIDES}
    local build=${2:-$CORVALE_ROOT/build}
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        corvale_log "creating Wine prefix $WINEPREFIX"
        corvale_make_prefix
    fi
    "$(dirname "$CORVALE_WINE")/wineserver" -p >/dev/null 2>&1 || true
    # A crashing program must end, not wait behind Wine's crash dialog.
    "$CORVALE_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >/dev/null 2>&1
    # Without a window manager (Xvfb), Wine waits 2 s at every destroyed top-level window it
    # manages; the in-process test programs open hundreds and need no manager.
    local program
    for program in unit_tests.exe widgets_tests.exe; do
        "$CORVALE_WINE" reg add "HKCU\\Software\\Wine\\AppDefaults\\$program\\X11 Driver" /v Managed /d N /f \
            >/dev/null 2>&1
    done
    corvale_register_filters "$build/bin"
}

corvale_teardown() {
    [ -n "${WINEPREFIX:-}" ] && "$(dirname "$CORVALE_WINE")/wineserver" -k >/dev/null 2>&1
    local p
    for p in "${CORVALE_STARTED_PIDS[@]}"; do kill "$p" 2>/dev/null; done
    CORVALE_STARTED_PIDS=()
}
