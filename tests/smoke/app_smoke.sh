#!/usr/bin/env bash
# Starts the real application in the X server of $DISPLAY (run under xvfb-run
# when there is none), waits for its main window, checks its title, size and
# size hints, takes a screenshot, closes the window and expects a clean exit.
# Given a signal name as third argument (TERM, HUP), it sends the application
# that signal once its window is up instead, again and again until it has
# exited, and expects the same clean exit: a signal is a quit request like the
# others, and the ones that come while it shuts down end nothing halfway.
# A fourth argument limits the size of the files it writes (ulimit -f, in
# blocks of 1024 bytes): the settings file it saves on the way out must then
# fail cleanly, leaving neither the file nor a temporary one behind.
set -euo pipefail
app="$1"
out="$2"
quit_by="${3:-Escape}"
file_size_limit="${4:-}"
mkdir -p "$out"
title="Trevan M/X Quelt V2.17"

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

# The application writes its settings file on the way out; ctest runs this
# script with a throw-away /var and home folder, and the file must be there
# once the application has quit.
settings=/var/ZorvProAudio/Trv/Trv.conf

# Started in the background of a script, as a desktop's launcher or a shell's
# `&` would: SIGINT comes ignored, and that it must stay. The plain run also
# comes with SIGHUP ignored, as nohup starts a program.
if [ -n "$file_size_limit" ]; then
    # Its log goes through a pipe, which the limit does not cover: only the
    # files it writes itself meet it.
    ( ulimit -f "$file_size_limit"; exec "$app" ) > >(cat >"$out/app.log") 2>&1 &
elif [ "$quit_by" = Escape ]; then
    nohup "$app" >"$out/app.log" 2>&1 &
else
    "$app" >"$out/app.log" 2>&1 &
fi
pid=$!
trap 'kill -9 $pid 2>/dev/null || true' EXIT

# JUCE may replace its first X window right after creating it (switching to
# the native title bar recreates the peer), so a window counts as found only
# once it can be asked for its name and geometry after the first paint. Only
# this copy's window counts: other copies may share the X server.
win=""
for _ in $(seq 1 100); do
    kill -0 $pid 2>/dev/null || { echo "application exited before showing its window"; cat "$out/app.log"; exit 1; }
    sleep 0.1
    candidate=$(xdotool search --all --pid $pid --name "^${title//\//\\/}\$" 2>/dev/null | tail -n 1 || true)
    [ -n "$candidate" ] || continue
    sleep 0.3
    name=$(xdotool getwindowname "$candidate" 2>/dev/null) || continue
    geometry=$(xwininfo -id "$candidate" 2>/dev/null) || continue
    win=$candidate
    break
done
[ -n "$win" ] || { echo "no window titled '$title' appeared"; exit 1; }

# Whether the signals that ask it to quit are caught or ignored: the kernel's
# masks of the running process (bit n-1 for signal n).
signal_mask() { awk -v field="$1:" '$1 == field { print $2 }' "/proc/$pid/status"; }
has_signal() { (( (16#$1 >> ($2 - 1)) & 1 )); }
check_signal() {
    local mask
    mask=$(signal_mask "$1")
    has_signal "$mask" "$2" || { echo "signal $2 is not in $1 ($mask): $3"; exit 1; }
}

if [ "$quit_by" = Escape ]; then
    [ "$name" = "$title" ] || { echo "window title is '$name'"; exit 1; }

    check_signal SigIgn 2 "started ignored, SIGINT must stay so"
    check_signal SigIgn 1 "started ignored (nohup), SIGHUP must stay so"
    check_signal SigCgt 15 "SIGTERM must be a quit request"
    check_signal SigIgn 25 "SIGXFSZ must fail a write, not end the program"
    echo "signals: INT and HUP left ignored, TERM caught, XFSZ ignored"

    width=$(awk '/^ *Width:/ {print $2}' <<<"$geometry")
    height=$(awk '/^ *Height:/ {print $2}' <<<"$geometry")
    echo "window '$name' is ${width}x${height}"
    [ "$width" = 1000 ] && [ "$height" = 576 ] || { echo "expected 1000x576"; exit 1; }

    # A window manager reads from the size hints whether the user may resize it.
    # JUCE restates the size without limits when it moves, resizes or repaints the
    # window afresh, and the window puts the limits back right after; a single read
    # can fall between the two, so they are read until they hold (10 s at most).
    read_hints() { xprop -id "$win" WM_NORMAL_HINTS 2>/dev/null || true; }
    fixed_size() {
        grep -q "minimum size: 1000 by 576" <<<"$hints" && grep -q "maximum size: 1000 by 576" <<<"$hints"
    }
    deadline=$((SECONDS + 10))
    hints=$(read_hints)
    until fixed_size || [ "$SECONDS" -ge "$deadline" ]; do
        sleep 0.1
        hints=$(read_hints)
    done
    fixed_size || { echo "the size hints let a window manager resize the window:"; echo "$hints"; exit 1; }
    echo "size hints: 1000x576 at least and at most"

    /usr/bin/import -window "$win" "$out/main-window.png"
    echo "screenshot: $out/main-window.png"

    # There is no window manager to press a close button, so close it the way
    # a user would from the keyboard: focus it and press Escape (real key events).
    xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
    xdotool key Escape
else
    # The window is up, the application idle: only its way out is checked
    # here. The signal goes on until the process has ended (a zombie, not yet
    # waited for), so that some arrive during every part of the shutdown.
    running() {
        local stat
        read -r stat <"/proc/$pid/stat" 2>/dev/null || return 1
        stat=${stat##*) }
        [ "${stat%% *}" != Z ]
    }
    signals=0
    deadline=$((SECONDS + 30))
    while running && [ "$SECONDS" -lt "$deadline" ]; do
        kill -s "$quit_by" $pid 2>/dev/null || break
        signals=$((signals + 1))
    done
    echo "sent $signals SIG$quit_by"
fi

# Generous: writing the settings file under the sanitizers on a loaded machine.
for _ in $(seq 1 300); do
    if ! kill -0 $pid 2>/dev/null; then
        status=0; wait $pid || status=$?
        trap - EXIT
        echo "application exited with $status"
        [ $status -eq 0 ] || { tail -n 40 "$out/app.log"; exit $status; }
        if [ -n "${QUELT_READONLY_DIR:-}" ]; then
            left=$(find "$(dirname "$settings")" -mindepth 1 -name ".*" 2>/dev/null)
            [ -z "$left" ] || { echo "left behind beside the settings file:"; echo "$left"; exit 1; }
            if [ -n "$file_size_limit" ]; then
                [ ! -e "$settings" ] || { echo "a settings file past the limit of $file_size_limit KB: $settings"; exit 1; }
                echo "settings file refused by the size limit, nothing left behind"
            else
                [ -s "$settings" ] || { echo "no settings file at $settings"; exit 1; }
                echo "settings file written: $settings"
            fi
        fi
        exit 0
    fi
    sleep 0.1
done

echo "application did not exit within 30 s of being asked to quit ($quit_by)"
exit 1
