# Helpers for the end-to-end scenarios: each scenario sources this file, calls
# `session_start <name> <kestrin> <kestrin-cli> <artifact folder>` and then drives the real
# binary through its own Xvfb display with xdotool. Everything the session starts is killed
# and its temp folder removed on exit; screenshots and logs stay in the artifact folder.
# shellcheck shell=bash

set -Eeuo pipefail
# Any command that stops the scenario says which one it was.
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND (status $?)" >&2' ERR

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
readonly E2E_SKIP=77
# Generous: the machine that runs these may be shared and busy.
E2E_TIMEOUT=${E2E_TIMEOUT:-30}

session_pids=()
kestrin_pid=

fail() {
    echo "FAIL: $*" >&2
    if [ -n "${DISPLAY:-}" ] && [ -n "${ARTIFACTS:-}" ]; then
        import -window root "$ARTIFACTS/failure.png" 2>/dev/null || true
    fi
    exit 1
}

step() {
    echo "-- $* ($((SECONDS - session_started))s)"
}

skip() {
    echo "SKIPPED: $*" >&2
    exit "$E2E_SKIP"
}

session_cleanup() {
    local pid
    for pid in "${session_pids[@]}"; do
        kill -9 "$pid" 2>/dev/null || true
    done
    for pid in "${session_pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    [ -n "${SESSION_TMP:-}" ] && rm -rf "$SESSION_TMP"
}

require_tools() {
    local tool missing=()
    for tool in "$@"; do
        command -v "$tool" >/dev/null || missing+=("$tool")
    done
    [ ${#missing[@]} -eq 0 ] ||
        skip "missing ${missing[*]} (scripts/quickstart test installs them)"
}

# Runs "$@" every 0.1 s until it succeeds; fails with the message after E2E_TIMEOUT seconds.
wait_until() {
    local message=$1
    shift
    local deadline=$((SECONDS + E2E_TIMEOUT))
    until "$@" >/dev/null 2>&1; do
        [ "$SECONDS" -lt "$deadline" ] || fail "timed out: $message"
        sleep 0.1
    done
}

# A private X server on a display it picks itself, so parallel sessions never collide.
start_display() {
    require_tools Xvfb xdotool import
    local number_file="$SESSION_TMP/display"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -noreset -nolisten tcp \
        3>"$number_file" >"$ARTIFACTS/xvfb.log" 2>&1 &
    session_pids+=($!)
    local deadline=$((SECONDS + 15))
    until [ -s "$number_file" ]; do
        if ! kill -0 "${session_pids[-1]}" 2>/dev/null || [ "$SECONDS" -ge "$deadline" ]; then
            skip "Xvfb could not start a display (see $ARTIFACTS/xvfb.log)"
        fi
        sleep 0.1
    done
    DISPLAY=":$(head -n1 "$number_file")"
    export DISPLAY
    xdotool getdisplaygeometry >/dev/null 2>&1 || skip "Xvfb started but $DISPLAY does not answer"
}

# A throw-away home, so nothing touches the real user's settings, projects or recovery copies.
make_home() {
    export HOME="$SESSION_TMP/home"
    export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share"
    export XDG_CACHE_HOME="$HOME/.cache" XDG_RUNTIME_DIR="$SESSION_TMP/runtime"
    mkdir -p "$XDG_CONFIG_HOME/Kestrin" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$HOME/Documents"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    # The light look, so that screenshots and the canvas checkerboard do not depend on the host.
    printf '[General]\nappearance=light\n' >"$XDG_CONFIG_HOME/Kestrin/Kestrin.conf"
    WORK="$SESSION_TMP/work"
    mkdir -p "$WORK"
}

session_start() {
    local name=$1
    KESTRIN=$(realpath "$2")
    KESTRIN_CLI=$(realpath "$3")
    ARTIFACTS="$4/$name"
    session_started=$SECONDS
    rm -rf "$ARTIFACTS"
    mkdir -p "$ARTIFACTS"
    SESSION_TMP=$(mktemp -d "${TMPDIR:-/tmp}/kestrin-e2e-$name.XXXXXX")
    trap session_cleanup EXIT
    trap 'exit 130' INT TERM
    require_tools python3
    unset WAYLAND_DISPLAY QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE SESSION_MANAGER
    export QT_QPA_PLATFORM=xcb
    make_home
    start_display
    step "session $name on $DISPLAY"
}

# --- the application --------------------------------------------------------------------

# launch [arguments]: starts Kestrin in the background.
# shellcheck disable=SC2120
launch() {
    "$KESTRIN" "$@" >>"$ARTIFACTS/kestrin.log" 2>&1 &
    kestrin_pid=$!
    session_pids+=("$kestrin_pid")
}

# Kills Kestrin the way a crash would: nothing is saved or cleaned up.
crash() {
    kill -9 "$kestrin_pid"
    wait_for_exit
}

wait_for_exit() {
    wait_until "Kestrin to quit" bash -c "! kill -0 $kestrin_pid"
    wait "$kestrin_pid" 2>/dev/null || true
}

# Prints the id of the visible window whose whole title is the pattern (an extended regex),
# or fails. xdotool reports an error when another window goes while it looks, so its status
# is not the answer; what it printed is.
find_window() {
    local found
    found=$(xdotool search --onlyvisible --name "^($1)\$" 2>/dev/null || true)
    [ -n "$found" ] && tail -n1 <<<"$found"
}

wait_for_window() {
    local found deadline=$((SECONDS + E2E_TIMEOUT))
    until found=$(find_window "$1"); do
        [ "$SECONDS" -lt "$deadline" ] || fail "timed out: a window titled '$1'"
        sleep 0.1
    done
    echo "$found"
}

# Gone means not found twice in a row, since a search can miss a window during an error.
is_gone() {
    ! find_window "$1" && sleep 0.1 && ! find_window "$1"
}

wait_for_no_window() {
    wait_until "the window '$1' to close" is_gone "$1"
}

wait_for_file() {
    wait_until "the file $1" test -e "$1"
}

# Keys go to the focused window only: there is no window manager to give focus. Focusing
# the focused window again would send it a focus-out and focus-in for nothing.
focus_window() {
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] ||
        wait_until "window $1 to take the focus" xdotool windowfocus --sync "$1"
}

keys() {
    local window=$1
    shift
    focus_window "$window"
    xdotool key --delay 30 "$@"
}

type_text() {
    local window=$1
    shift
    focus_window "$window"
    xdotool type --delay 20 "$1"
}

# --- the canvas ---------------------------------------------------------------------------

# Finds the canvas in a screenshot of the window by its checkerboard; sets CANVAS_LEFT,
# CANVAS_TOP (window coordinates) and CANVAS_ZOOM (screen points per sprite pixel).
find_canvas() {
    local window=$1 sprite_width=$2
    local shot="$ARTIFACTS/canvas.png" width
    import -window "$window" "$shot" || return 1
    read -r CANVAS_LEFT CANVAS_TOP width _ < <(python3 "$E2E_DIR/images.py" canvas "$shot") ||
        return 1
    CANVAS_ZOOM=$(((width + sprite_width / 2) / sprite_width))
    [ "$CANVAS_ZOOM" -ge 2 ]
}

# steady <what> <command...>: runs the command until it prints the same non-empty text twice
# in a row and prints that, so that a screenshot taken during a repaint is not believed.
steady() {
    local what=$1 found='' previous=''
    shift
    local deadline=$((SECONDS + E2E_TIMEOUT))
    while [ -z "$found" ] || [ "$found" != "$previous" ]; do
        [ "$SECONDS" -lt "$deadline" ] || fail "timed out: a steady $what (see $ARTIFACTS)"
        previous=$found
        found=$("$@") || found=''
    done
    echo "$found"
}

canvas_geometry() {
    find_canvas "$@" && echo "$CANVAS_LEFT $CANVAS_TOP $CANVAS_ZOOM"
}

locate_canvas() {
    local found
    found=$(steady "canvas in the window" canvas_geometry "$@")
    read -r CANVAS_LEFT CANVAS_TOP CANVAS_ZOOM <<<"$found"
}

canvas_moved_from() {
    local now
    now=$(canvas_geometry "$1" "$2") && [ "$now" != "$3" ]
}

# After something that changes the window's layout (the timeline showing, say).
wait_for_canvas_move() {
    wait_until "the canvas to move from $CANVAS_LEFT, $CANVAS_TOP" \
        canvas_moved_from "$1" "$2" "$CANVAS_LEFT $CANVAS_TOP $CANVAS_ZOOM"
    locate_canvas "$1" "$2"
}

# Window coordinates of the centre of a sprite pixel.
pixel_point() {
    echo "$((CANVAS_LEFT + $1 * CANVAS_ZOOM + CANVAS_ZOOM / 2))" \
        "$((CANVAS_TOP + $2 * CANVAS_ZOOM + CANVAS_ZOOM / 2))"
}

# drag <window> <button> x0 y0 x1 y1 [x y ...]: presses on the first sprite pixel, moves
# through the others and releases on the last. One pixel is a click. A busy application
# receives several moves as one, as with a fast hand, so a stroke that must turn a corner
# is better drawn as two.
drag() {
    local window=$1 button=$2
    shift 2
    focus_window "$window"
    # shellcheck disable=SC2046
    xdotool mousemove --window "$window" $(pixel_point "$1" "$2") mousedown "$button"
    shift 2
    while [ $# -ge 2 ]; do
        # shellcheck disable=SC2046
        xdotool mousemove --window "$window" $(pixel_point "$1" "$2")
        shift 2
    done
    xdotool mouseup "$button"
}

click_pixel() {
    drag "$1" 1 "$2" "$3"
}

# Clicks a point given in window coordinates.
click_at() {
    focus_window "$1"
    xdotool mousemove --window "$1" "$2" "$3" click 1
}

# --- evidence -----------------------------------------------------------------------------

# screenshot <name> [window]: the whole screen, or cropped to the window.
screenshot() {
    local file="$ARTIFACTS/$1.png"
    if [ $# -ge 2 ]; then
        import -window "$2" "$file"
    else
        import -window root "$file"
    fi
    echo "$file"
}

# Exports one frame of a project at 100 % and checks pixels: check_pixels <project> <frame>
# "x,y=#RRGGBBAA" ... (#00000000 is an empty pixel).
check_pixels() {
    local project=$1 frame=$2
    shift 2
    local image="$ARTIFACTS/frame$frame.png"
    "$KESTRIN_CLI" export "$project" "$image" --frame "$frame" >/dev/null ||
        fail "kestrin-cli could not export frame $frame"
    python3 "$E2E_DIR/images.py" expect "$image" "$@" || fail "frame $frame pixels differ"
}

# symmetry_row <window>: "x y chosen|-" for each of the inspector's six symmetry buttons,
# the first row of buttons below its third rule (the one above the Symmetry section).
symmetry_row() {
    local shot="$ARTIFACTS/symmetry.png"
    import -window "$1" "$shot" && python3 "$E2E_DIR/images.py" segments "$shot" 2 6
}

symmetry_shows() {
    symmetry_row "$1" | sed -n "$(($2 + 1))p" | grep -q " chosen$"
}

symmetry_button() {
    symmetry_row "$1" | sed -n "$(($2 + 1))p" | cut -d' ' -f1,2 | grep .
}

# Clicks a symmetry mode in the inspector and waits until it shows as chosen: 0 off,
# 1 left–right, 2 top–bottom, 3 both, 4 diagonal, 5 rising diagonal.
choose_symmetry() {
    local window=$1 mode=$2 point
    point=$(steady "row of symmetry buttons" symmetry_button "$window" "$mode")
    # shellcheck disable=SC2086
    click_at "$window" $point
    wait_until "symmetry mode $mode to show as chosen" symmetry_shows "$window" "$mode"
}
