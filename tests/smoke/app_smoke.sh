#!/usr/bin/env bash
# Starts the real application in the X server of $DISPLAY (run under xvfb-run
# when there is none), waits for its main window, checks its title, size and
# size hints, takes a screenshot, closes the window and expects a clean exit.
# Given a signal name as third argument (TERM, INT), it sends the application
# that signal once its window is up instead, and expects the same clean exit:
# a signal is a quit request like the others.
set -euo pipefail
app="$1"
out="$2"
quit_by="${3:-Escape}"
mkdir -p "$out"
title="Trevan M/X Quelt V2.17"

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

# The application writes its settings file on the way out; ctest runs this
# script with a throw-away /var and home folder, and the file must be there
# once the application has quit.
settings=/var/ZorvProAudio/Trv/Trv.conf

"$app" >"$out/app.log" 2>&1 &
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

if [ "$quit_by" = Escape ]; then
    [ "$name" = "$title" ] || { echo "window title is '$name'"; exit 1; }

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
    # The window is up, the application idle: only its way out is checked here.
    kill -s "$quit_by" $pid
fi

# Generous: writing the settings file under the sanitizers on a loaded machine.
for _ in $(seq 1 300); do
    if ! kill -0 $pid 2>/dev/null; then
        status=0; wait $pid || status=$?
        trap - EXIT
        echo "application exited with $status"
        [ $status -eq 0 ] || { tail -n 40 "$out/app.log"; exit $status; }
        if [ -n "${QUELT_READONLY_DIR:-}" ]; then
            [ -s "$settings" ] || { echo "no settings file at $settings"; exit 1; }
            echo "settings file written: $settings"
        fi
        exit 0
    fi
    sleep 0.1
done

echo "application did not exit within 30 s of being asked to quit ($quit_by)"
exit 1
