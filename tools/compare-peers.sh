#!/usr/bin/env bash
# Quillograph beside two peer analysers, LSP Spectrum Analyzer x2 and x42's 1/3-octave
# spectrum display (spectr30stereo), each with its own editor open and made-up music flowing
# through JACK's dummy driver: the CPU time the host process spends (all its threads: audio,
# editor and host) over a fixed window, as a share of one core, and beside it that of the
# private X server, which does what X drawing requests leave to it. Runs are interleaved
# (A B C A B C ...) so that a shared machine's drift falls on all of them alike; medians are
# printed with the ratios. lv2bench then times the three audio paths (run() alone).
#
# Two hosts: jalv.gtk3, which shows the editors of ours and LSP's, and Qtractor, which also
# shows x42's (an external-UI window, which jalv does not open). Baselines: jalv with the
# generic control panel and jalv with no window at all, both on ours, and Qtractor with the
# same track and no plug-in.
#
# Installs nothing: tools/setup-debian.sh does (as root). Builds what it needs of preset
# native. Everything runs under a temporary HOME on an X server and a JACK server of its own.
#
# Usage: tools/compare-peers.sh [--runs N] [--window SECONDS] [--warmup SECONDS]
#                               [--music SECONDS] [--bench-seconds SECONDS] [--no-qtractor]
# Screenshots of each editor (first run) land in $PEERS_SHOTS (default /tmp/quillograph-peers).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
source tools/host-support.sh

RUNS=5 WINDOW=20 WARMUP=5 MUSIC=180 BENCH_SECONDS=60 QTRACTOR=1
while [ $# -gt 0 ]; do
    case $1 in
        --runs) RUNS=$2; shift 2 ;;
        --window) WINDOW=$2; shift 2 ;;
        --warmup) WARMUP=$2; shift 2 ;;
        --music) MUSIC=$2; shift 2 ;;
        --bench-seconds) BENCH_SECONDS=$2; shift 2 ;;
        --no-qtractor) QTRACTOR=0; shift ;;
        *) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 2 ;;
    esac
done
for v in RUNS WINDOW WARMUP MUSIC BENCH_SECONDS; do
    [[ ${!v} =~ ^[1-9][0-9]*$ ]] || { echo "compare-peers: ${v,,} must be a whole number above 0" >&2; exit 2; }
done
[ "$MUSIC" -ge $((WARMUP + WINDOW + 15)) ] ||
    { echo "compare-peers: the music must outlast warm-up and window by 15 s" >&2; exit 2; }
SHOTS=${PEERS_SHOTS:-/tmp/quillograph-peers}

fail() { echo "compare-peers: FAILED: $*" >&2; exit 1; }
# X clients and lv2 tools get a time limit each (timeout runs the program, not these functions).
for c in xdotool import convert compare lv2info lv2ls; do eval "$c() { timeout -k 2 30 $c \"\$@\"; }"; done

need=()
for c in cmake jackd jack_wait jack_lsp jalv jalv.gtk3 lv2ls lv2info lv2bench ecasound \
         Xvfb xdotool import convert compare; do
    command -v "$c" >/dev/null || need+=("$c")
done
[ "$QTRACTOR" = 0 ] || command -v qtractor >/dev/null || need+=(qtractor)
[ ${#need[@]} = 0 ] || fail "missing ${need[*]}: run 'bash tools/setup-debian.sh' as root"

# ---- What is measured
cmake --preset native >/dev/null || fail "cmake could not configure preset native"
targets=(quillograph_lv2 demo_music)
[ "$QTRACTOR" = 0 ] || targets+=(lv2_null_sequencer)
nice cmake --build --preset native --target "${targets[@]}" >/dev/null || fail "the build failed"
BUILD=$ROOT/build/native
export LV2_PATH=$BUILD/lv2:/usr/local/lib/lv2:/usr/lib/lv2
OURS=urn:veksa:quillograph
installed=$(lv2ls) || fail "lv2ls failed"
LSP=$(grep -x 'http://lsp-plug.in/plugins/lv2/spectrum_analyzer_x2' <<<"$installed" || true)
X42=$(grep -x 'http://gareus.org/oss/lv2/meters#spectr30stereo' <<<"$installed" || true)
grep -qx "$OURS" <<<"$installed" || fail "no $OURS in $BUILD/lv2"
[ -n "$LSP" ] || fail "LSP Spectrum Analyzer x2 is not installed (lsp-plugins-lv2)"
[ -n "$X42" ] || fail "x42 spectr30stereo is not installed (x42-plugins)"

# ---- A private world: HOME, X server, JACK server. Everything started is stopped by its id.
WORK=$(mktemp -d)
PIDS=()
SERVER=quillograph-peers-$$
forget() { local p keep=(); for p in "${PIDS[@]}"; do [ "$p" = "$1" ] || keep+=("$p"); done; PIDS=("${keep[@]}"); }
stop_pid() {  # PID [SIGNAL]: asks, waits up to 5 s, then kills; forgets it
    local pid=$1
    kill -"${2:-TERM}" "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    forget "$pid"
}
cleanup() {
    local pid
    [ -z "${SLEEPER:-}" ] || kill "$SLEEPER" 2>/dev/null || true
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${PIDS[@]}"; do
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null || true
    done
    # A client killed mid-cycle leaves its semaphores of our server behind.
    rm -f /dev/shm/jack_sem.*_"$SERVER"_* 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

export HOME=$WORK/home XDG_RUNTIME_DIR=$WORK/runtime GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1
export JACK_NO_START_SERVER=1 JACK_DEFAULT_SERVER=$SERVER
mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$SHOTS"

wait_for() {  # TENTHS COMMAND...: up to TENTHS tenths of a second for the command to succeed
    local tenths=$1
    shift
    for _ in $(seq "$tenths"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
    return 1
}

start_xvfb "$WORK/display" "$WORK/xvfb.log" || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
PIDS+=($XVFB_PID)

jack_running() { [ "$(timeout -k 2 10 jack_wait -c 2>/dev/null)" = running ]; }
JACK_PID=
start_jack() {
    local attempt
    [ -z "$JACK_PID" ] || stop_pid "$JACK_PID"
    for attempt in 1 2 3; do
        jackd --no-realtime -n "$SERVER" -d dummy -r 48000 -p 256 >"$WORK/jack.log" 2>&1 &
        JACK_PID=$!
        PIDS+=($JACK_PID)
        timeout -k 2 15 jack_wait -w -t 10 >/dev/null 2>&1 && return 0
        stop_pid "$JACK_PID"
        echo "JACK did not start (attempt $attempt)" >&2
    done
    fail "JACK did not start: $(cat "$WORK/jack.log")"
}
start_jack

MUSIC_WAV=$WORK/music.wav
timeout -k 5 300 "$BUILD/tools/pictures/demo_music" "$MUSIC_WAV" "$MUSIC" >/dev/null || fail "no music"

# ---- Hosts. HOST_PID is the host itself, HOST_WRAP the shell around its timeout (which,
# when the host is killed, would die of the same signal and have bash report it).
HOST_LIMIT=$((WARMUP + WINDOW + 120))
HOST_WRAP= HOST_LIMITER= HOST_PID= PLAYER=
mkfifo "$WORK/console"
exec 7<>"$WORK/console"  # the console host reads commands from it; nothing is ever written
start_host() {  # LOG COMMAND...
    local log=$1
    shift
    (cd "$WORK" && timeout -k 5 "$HOST_LIMIT" "$@" || true) >"$log" 2>&1 <"$WORK/console" &
    HOST_WRAP=$!
    PIDS+=($HOST_WRAP)
    HOST_PID= HOST_LIMITER=
    for _ in $(seq 50); do
        [ -n "$HOST_LIMITER" ] || HOST_LIMITER=$(ps -o pid= --ppid "$HOST_WRAP" | tr -d ' ' | awk 'NR == 1')
        [ -z "$HOST_LIMITER" ] || HOST_PID=$(ps -o pid= --ppid "$HOST_LIMITER" | tr -d ' ' | awk 'NR == 1')
        [ -n "$HOST_PID" ] && { PIDS+=($HOST_LIMITER $HOST_PID); return 0; }
        sleep 0.1
    done
    fail "the host did not start: $*"
}
stop_host() {
    [ -z "$PLAYER" ] || { stop_pid "$PLAYER"; PLAYER=; }
    [ -n "$HOST_WRAP" ] || return 0
    # The host itself: killing only its timeout would leave it running.
    [ -z "$HOST_PID" ] || stop_pid "$HOST_PID"
    [ -z "$HOST_LIMITER" ] || stop_pid "$HOST_LIMITER"
    stop_pid "$HOST_WRAP"
    HOST_WRAP= HOST_PID= HOST_LIMITER=
}

# The audio input ports of JACK client $1, in order.
audio_inputs() {
    timeout -k 2 10 jack_lsp -p -t | awk -v c="$1:" '
        /^[^ \t]/ { name = index($0, c) == 1 ? $0 : ""; input = 0; next }
        /properties:/ { input = / input,/ }
        /audio/ && name != "" && input { print name; name = "" }'
}
has_inputs() { [ "$(audio_inputs "$1" | wc -l)" -ge 2 ]; }

# Plays the music into client $1's first two audio inputs, from the start.
play_into() {
    local ports
    mapfile -t ports < <(audio_inputs "$1" | awk 'NR <= 2')
    timeout -k 5 "$HOST_LIMIT" ecasound -q -G:jack,peers-player,notransport -i "$MUSIC_WAV" \
        -o "jack_multi,${ports[0]},${ports[1]}" >"$WORK/player.log" 2>&1 </dev/null &
    PLAYER=$!
    PIDS+=($PLAYER)
    wait_for 100 playing "${ports[@]}" || return 1
}
playing() {
    local port
    for port in "$@"; do
        timeout -k 2 10 jack_lsp -c "$port" | grep '^ *peers-player:out_' >/dev/null || return 1
    done
}

# -- jalv. The client takes an exact name so its ports are found.
JALV_NAME=peers-host
start_jalv() {  # LOG ARGS... URI
    local log=$1
    shift
    start_host "$log" "$@"
    wait_for 150 has_inputs "$JALV_NAME" && return 0
    kill -0 "$HOST_PID" 2>/dev/null && fail "jalv gave no ports: $(cat "$log")"
    return 1
}

# The window to photograph: jalv's largest (its main window) or Qtractor's plug-in editor.
EDITOR_WINDOW=
jalv_window() {
    local w best= area=0 WIDTH HEIGHT X Y SCREEN WINDOW
    for w in $(xdotool search --onlyvisible --pid "$HOST_PID" 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        [ $((WIDTH * HEIGHT)) -gt "$area" ] && { area=$((WIDTH * HEIGHT)); best=$w; }
    done
    [ -n "$best" ] && EDITOR_WINDOW=$best
}

# -- Qtractor: a session with one monitored stereo audio track (the music in through the
# Master bus) and the plug-in on it; the editor opens with a double click in the track's
# plug-in list. Its engine needs an ALSA sequencer, which containers lack: a quiet stand-in.
PRELOAD=
[ -e /dev/snd/seq ] || PRELOAD=$BUILD/tests/formats/lv2/liblv2_null_sequencer.so
qtractor_session() {  # FILE [URI LABEL [PARAM-INDEX PARAM-NAME VALUE]]
    local plugin=
    if [ $# -ge 3 ]; then
        plugin="<plugins><plugin type=\"LV2\"><filename>$2</filename><index>0</index><label>$3</label>
     <activated>1</activated><editor-pos>0,0</editor-pos>"
        [ $# -lt 6 ] || plugin+="<params><param index=\"$4\" name=\"$5\">$6</param></params>"
        plugin+="</plugin></plugins>"
    fi
    mkdir -p "$(dirname "$1")"
    cat >"$1" <<EOF
<!DOCTYPE qtractorSession>
<session version="Qtractor 0.9.31" name="peers">
 <properties><directory>$(dirname "$1")</directory><sample-rate>48000</sample-rate></properties>
 <devices><audio-engine><audio-bus mode="duplex" name="Master"><channels>2</channels></audio-bus></audio-engine></devices>
 <tracks>
  <track type="audio" name="Analysed">
   <properties><input-bus>Master</input-bus><output-bus>Master</output-bus></properties>
   <state><monitor>1</monitor></state>
   $plugin
  </track>
 </tracks>
</session>
EOF
}
qtractor_answered() { grep -q -e "Session started" -e "engine could not be started" "$WORK/qtractor-messages.log"; }
start_qtractor() {  # LOG SESSION
    local X Y WIDTH HEIGHT SCREEN WINDOW main
    write_qtractor_settings "$WORK/qtractor-messages.log"
    rm -f "$WORK/qtractor-messages.log"
    start_host "$1" env ${PRELOAD:+LD_PRELOAD=$PRELOAD} qtractor "$2"
    wait_for 200 qtractor_answered || fail "Qtractor did not start its engine: $(cat "$1")"
    grep -q "Session started" "$WORK/qtractor-messages.log" || return 1
    wait_for 150 has_inputs Qtractor || fail "Qtractor gave no Master inputs"
    wait_for 100 xdotool search --onlyvisible --name 'peers\.qtr' ||
        fail "Qtractor's window did not appear; windows: $(xdotool search --onlyvisible --name . getwindowname %@ 2>&1)"
    main=$(xdotool search --onlyvisible --name 'peers\.qtr' | awk 'NR == 1')
    EDITOR_WINDOW=$main
    grep -q '<plugin ' "$2" || return 0
    eval "$(xdotool getwindowgeometry --shell "$main")"
    for _ in 1 2; do
        xdotool mousemove $((X + 183)) $((Y + 180)) click --repeat 2 --delay 80 1
        if wait_for 50 xdotool search --onlyvisible --name ' - Analysed$'; then
            EDITOR_WINDOW=$(xdotool search --onlyvisible --name ' - Analysed$' | awk 'NR == 1')
            return 0
        fi
    done
    fail "Qtractor did not open the plug-in's editor"
}

# The index and the name of port $2 of plug-in $1.
port_index() { awk -v s="$2" '$1 == "Port" { i = $2 + 0 } $1 == "Symbol:" && $2 == s { print i }' <<<"$(lv2info "$1")"; }
port_name() { awk -v s="$2" '$1 == "Symbol:" { sym = $2 } $1 == "Name:" && sym == s { $1 = ""; sub(/^ /, ""); print; sym = "" }' <<<"$(lv2info "$1")"; }

# ---- The measured configurations: id, host, label, and whether an editor of the plug-in's
# own must be seen drawing. LSP analyses only its first channel unless told: both are on.
CONFIGS=(jalv-ours jalv-lsp jalv-generic jalv-none)
[ "$QTRACTOR" = 0 ] || CONFIGS+=(qtractor-empty qtractor-ours qtractor-lsp qtractor-x42)
declare -A LABEL=(
    [jalv-ours]="jalv.gtk3  Quillograph, its editor"
    [jalv-lsp]="jalv.gtk3  LSP Spectrum Analyzer x2, its editor"
    [jalv-generic]="jalv.gtk3  Quillograph, jalv's generic panel"
    [jalv-none]="jalv       Quillograph, no window"
    [qtractor-empty]="Qtractor   the track without a plug-in"
    [qtractor-ours]="Qtractor   Quillograph, its editor"
    [qtractor-lsp]="Qtractor   LSP Spectrum Analyzer x2, its editor"
    [qtractor-x42]="Qtractor   x42 spectr30stereo, its editor")
declare -A DRAWS=([jalv-ours]=1 [jalv-lsp]=1 [qtractor-ours]=1 [qtractor-lsp]=1 [qtractor-x42]=1)
declare -A DREW
LSP_ON1_INDEX=$(port_index "$LSP" on_1)
LSP_ON1_NAME=$(port_name "$LSP" on_1)
[ -n "$LSP_ON1_INDEX" ] || fail "LSP's port on_1 not found"

launch() {  # CONFIG LOG: the host with its editor, ready for music into CLIENT
    local session=$WORK/sessions/$1/peers.qtr
    case $1 in
        jalv-ours) start_jalv "$2" jalv.gtk3 --jack-name="$JALV_NAME" -x "$OURS" ;;
        jalv-lsp) start_jalv "$2" jalv.gtk3 --jack-name="$JALV_NAME" -x -c on_1=1 "$LSP" ;;
        jalv-generic) start_jalv "$2" jalv.gtk3 --jack-name="$JALV_NAME" -x --generic-ui "$OURS" ;;
        jalv-none) start_jalv "$2" jalv -n "$JALV_NAME" -x "$OURS" ;;
        qtractor-empty) qtractor_session "$session" ;;
        qtractor-ours) qtractor_session "$session" "$OURS" Quillograph ;;
        qtractor-lsp) qtractor_session "$session" "$LSP" LSP "$LSP_ON1_INDEX" "$LSP_ON1_NAME" 1 ;;
        qtractor-x42) qtractor_session "$session" "$X42" x42 ;;
    esac
    case $1 in
        jalv-none) CLIENT=$JALV_NAME; EDITOR_WINDOW= ;;
        jalv-*) CLIENT=$JALV_NAME
                wait_for 150 jalv_window || fail "jalv showed no window for $1: $(cat "$2")" ;;
        qtractor-*) CLIENT=Qtractor; start_qtractor "$2" "$session" ;;
    esac
}

# photograph CONFIG: the whole screen into $SHOTS, and whether the editor's picture changes
# within a second while the music plays.
photograph() {
    local X Y WIDTH HEIGHT SCREEN WINDOW a b diff
    import -window root "$SHOTS/$1.png"
    [ -n "${DRAWS[$1]:-}" ] || { DREW[$1]="-"; return 0; }
    eval "$(xdotool getwindowgeometry --shell "$EDITOR_WINDOW")"
    a=$WORK/a.png b=$WORK/b.png
    convert "$SHOTS/$1.png" -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$a"
    sleep 1
    import -window root "$WORK/root.png"
    convert "$WORK/root.png" -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$b"
    diff=$(compare -metric AE "$a" "$b" /dev/null 2>&1 || true)
    if [[ $diff =~ ^[0-9]+$ ]] && [ "$diff" -gt 0 ]; then DREW[$1]="yes (${WIDTH}x${HEIGHT})"; else DREW[$1]=no; fi
    if [ "${DREW[$1]}" = no ]; then
        fail "$1: the editor's picture did not change while music played (see $SHOTS/$1.png)"
    fi
}

ticks() {  # utime + stime of process $1, in clock ticks
    local s
    s=$(cat "/proc/$1/stat") || return 1
    s=${s##*) }
    set -- $s
    echo $((${12} + ${13}))
}
HZ=$(getconf CLK_TCK)

# A long wait that an interrupt ends at once (bash runs traps only between commands).
pause() { sleep "$1" & SLEEPER=$!; wait "$SLEEPER"; SLEEPER=; }
SLEEPER=

percent() { awk -v c="$1" -v hz="$HZ" -v ns="$2" 'BEGIN { printf "%.2f", 100 * c / hz / (ns / 1e9) }'; }

# measure CONFIG RUN: the CPU over the window as % of one core, of the host in RESULT and of
# the X server in RESULT_X. Drawing through X requests can leave part of an editor's work to
# the server, which serves this host alone.
measure_once() {
    local log=$WORK/$1-$2.log t0 t1 c0 c1 x0 x1
    CLIENT=
    launch "$1" "$log" || return 1
    play_into "$CLIENT" || { echo "$1: the music did not reach $CLIENT" >&2; stop_host; return 1; }
    pause "$WARMUP"
    [ "$2" != 1 ] || photograph "$1"
    c0=$(ticks "$HOST_PID") x0=$(ticks "$XVFB_PID") t0=$(date +%s%N)
    pause "$WINDOW"
    c1=$(ticks "$HOST_PID") x1=$(ticks "$XVFB_PID") t1=$(date +%s%N)
    [ -n "$c0" ] && [ -n "$c1" ] && kill -0 "$HOST_PID" 2>/dev/null ||
        fail "$1: the host ended during the window: $(tail -20 "$log")"
    if ! kill -0 "$PLAYER" 2>/dev/null || ! jack_running; then
        echo "$1: the music or JACK stopped during the window" >&2
        stop_host
        return 1
    fi
    stop_host
    RESULT=$(percent $((c1 - c0)) $((t1 - t0))) RESULT_X=$(percent $((x1 - x0)) $((t1 - t0)))
}
measure() {
    local attempt
    for attempt in 1 2 3; do
        jack_running || start_jack
        measure_once "$@" && return 0
        stop_host
        echo "$1: run $2 failed (attempt $attempt); again with a new JACK server" >&2
        start_jack
    done
    fail "$1 could not be measured (logs: $(cat "$WORK/$1-$2.log" 2>/dev/null | tail -5))"
}

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) exit 1; printf "%.6f\n", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else printf "n/a" }'; }
minus() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a - b }'; }

CPU=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | awk 'NR == 1')
LOAD_BEFORE=$(cut -d' ' -f1-3 /proc/loadavg)
echo "Quillograph beside peer analysers: CPU of the host process and of its X server"
echo "processor: ${CPU:-unknown} ($(nproc) cores available)"
echo "date:      $(date -u '+%Y-%m-%d %H:%M UTC'), load average before: $LOAD_BEFORE"
echo "audio:     ${MUSIC} s of made-up stereo music, 48 kHz, JACK dummy driver, 256 frames a cycle"
echo "window:    ${WINDOW} s after ${WARMUP} s of warm-up, ${RUNS} runs interleaved; Xvfb (software drawing)"
if [ "$QTRACTOR" = 1 ]; then
    echo "x42's editor is an external-UI window, which jalv does not open: x42 is measured in Qtractor"
else
    echo "x42's editor is an external-UI window, which jalv does not open: without Qtractor it is left out"
fi
echo

declare -A HOST XSERVER BOTH
for run in $(seq "$RUNS"); do
    for c in "${CONFIGS[@]}"; do
        measure "$c" "$run"
        HOST[$c]+="$RESULT " XSERVER[$c]+="$RESULT_X "
        BOTH[$c]+="$(awk -v a="$RESULT" -v b="$RESULT_X" 'BEGIN { printf "%.2f", a + b }') "
        echo "run $run  $c: host $RESULT %, X server $RESULT_X %" >&2
    done
done

med() { tr ' ' '\n' <<<"$1" | grep . | median; }
declare -A MED MEDX MEDB
printf '%-54s %7s %9s %9s   %s\n' "medians, % of one core" host "X server" together "editor drawing"
for c in "${CONFIGS[@]}"; do
    MED[$c]=$(med "${HOST[$c]}") MEDX[$c]=$(med "${XSERVER[$c]}") MEDB[$c]=$(med "${BOTH[$c]}")
    printf '%-54s %7.2f %9.2f %9.2f   %s\n' "${LABEL[$c]}" "${MED[$c]}" "${MEDX[$c]}" "${MEDB[$c]}" "${DREW[$c]:-}"
done
echo
echo "host's runs, %:"
for c in "${CONFIGS[@]}"; do printf '  %-16s %s\n' "$c" "${HOST[$c]% }"; done
echo
echo "ratios, host alone (host with X server):"
ratios() { echo "$(ratio "${MED[$1]}" "${MED[$2]}") ($(ratio "${MEDB[$1]}" "${MEDB[$2]}"))"; }
echo "  ours / LSP, in jalv.gtk3:  $(ratios jalv-ours jalv-lsp)"
if [ "$QTRACTOR" = 1 ]; then
    echo "  ours / LSP, in Qtractor:   $(ratios qtractor-ours qtractor-lsp)"
    echo "  ours / x42, in Qtractor:   $(ratios qtractor-ours qtractor-x42)"
    base=${MED[qtractor-empty]}
    o=$(minus "${MED[qtractor-ours]}" "$base") l=$(minus "${MED[qtractor-lsp]}" "$base") x=$(minus "${MED[qtractor-x42]}" "$base")
    echo "  above Qtractor's own $(printf %.2f "$base") % (host alone): ours $o %, LSP $l %, x42 $x %;" \
         "ours / LSP $(ratio "$o" "$l"), ours / x42 $(ratio "$o" "$x")"
fi
echo

# ---- lv2bench: each plug-in's run() alone, no editor, on lv2bench's own buffers.
frames=$((BENCH_SECONDS * 48000))
declare -A BENCH
for run in $(seq "$RUNS"); do
    for uri in "$OURS" "$LSP" "$X42"; do
        out=$(timeout -k 5 600 lv2bench -f -b 256 -n "$frames" "$uri" 2>&1) || fail "lv2bench failed on $uri: $out"
        t=$(awk -v u="$uri" '$4 == u { print $3 }' <<<"$out")
        [ -n "$t" ] || fail "lv2bench gave no time for $uri: $out"
        BENCH[$uri]+="$t "
    done
done
echo "lv2bench, run() alone in 256-frame blocks, $BENCH_SECONDS s of 48 kHz audio, median of $RUNS:"
for uri in "$OURS" "$LSP" "$X42"; do
    t=$(tr ' ' '\n' <<<"${BENCH[$uri]}" | grep . | median)
    awk -v t="$t" -v s="$BENCH_SECONDS" -v u="$uri" 'BEGIN { printf "  %-58s %9.5f s  = %7.3f %% of one core\n", u, t, 100 * t / s }'
done
echo
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg); screenshots in $SHOTS"
