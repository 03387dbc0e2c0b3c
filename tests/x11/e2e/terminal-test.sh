#!/usr/bin/env bash
# Slot gestures in a real xterm, whose copy and paste keys are not Ctrl+C and Ctrl+V: a copy
# while a job runs must not interrupt it (Ctrl+C would), the copy takes what is selected
# (PRIMARY), and a paste at a shell prompt inserts the slot's text (xterm pastes PRIMARY on
# Shift+Insert).
#
#   terminal-test.sh PASTRIX PASTRIXCTL
#
# Run it inside a private X session (scripts/xsession).
set -uo pipefail

if [ "$#" -lt 2 ]; then
    echo "usage: terminal-test.sh PASTRIX PASTRIXCTL" >&2
    exit 2
fi
pastrix_executable="$1"
pastrixctl="$2"
timeout_ms=5000

work="$(mktemp -d "${TMPDIR:-/tmp}/pastrix-terminal.XXXXXX")"
program="${work}/program"
# shellcheck source=tests/x11/e2e/lib/session.sh
source "$(dirname "$0")/lib/session.sh"

# Runs the command every 5 ms until it succeeds or the time-out passes (then 1).
poll() {
    local deadline=$(($(now_us) + timeout_ms * 1000))
    while ! "$@"; do
        [ "$(now_us)" -gt "${deadline}" ] && return 1
        sleep 0.005
    done
}

slot_text() {
    "${pastrixctl}" workspace export "${program}/Default" 49 CF_TEXT - 2>/dev/null | tr -d '\000'
}
slot_holds() { [ "$(slot_text)" = "$1" ]; }
clipboard_holds() { [ "$(xclip -o -selection clipboard 2>/dev/null)" = "$1" ]; }
file_holds() { [ -f "$1" ] && [ "$(cat "$1")" = "$2" ]; }
shell_alive() { kill -0 "${terminal_pid}" 2>/dev/null; }
# The prompt is back when the shell has written its marker for the command typed.
shell_ran() { [ -f "${work}/$1" ]; }

select_in_terminal() {
    # What the user selects in xterm becomes PRIMARY; xclip stands in for the mouse.
    printf '%s' "$1" | xclip -selection primary -i
}

gesture() {
    xdotool keydown ctrl
    local tap
    for tap in $(seq 1 "$1"); do
        xdotool key 1
    done
    xdotool keyup ctrl
}

stage_program "${pastrix_executable}" "${pastrixctl}" || exit 1
rm -f "${program}/Default/px_49.pxf"

(cd "${program}" && exec ./"$(basename "${pastrix_executable}")") \
    >"${work}/pastrix.log" 2>&1 &
pastrix_pid=$!
started+=("${pastrix_pid}")

(cd "${work}" && HISTFILE=/dev/null PS1='$ ' exec xterm -title pastrix-terminal -l -lf "${work}/screen.log" \
    -e bash --norc --noprofile -i) >"${work}/xterm.log" 2>&1 &
terminal_pid=$!
started+=("${terminal_pid}")
terminal_window=""
for _ in $(seq 1 100); do
    terminal_window="$(xdotool search --name '^pastrix-terminal$' 2>/dev/null | head -n 1)"
    [ -n "${terminal_window}" ] && break
    sleep 0.05
done
if [ -z "${terminal_window}" ]; then
    echo "FAIL: xterm did not open" >&2
    exit 1
fi
# The program loads its workspace and installs its hooks; its window may come up in front.
sleep 2
if ! kill -0 "${pastrix_pid}" 2>/dev/null; then
    echo "FAIL: pastrix exited at start:" >&2
    cat "${work}/pastrix.log" >&2
    exit 1
fi
xdotool windowactivate --sync "${terminal_window}"

# A copy while a job runs: cat must still be reading afterwards.
xdotool type --delay 5 "cat > typed.txt"
xdotool key Return
sleep 0.3
select_in_terminal "selected words"
printf '%s' "user clipboard" | xclip -selection clipboard -i
gesture 2
poll slot_holds "selected words" || fail "the copy left '$(slot_text)' in slot 1"
poll clipboard_holds "user clipboard" || fail "the copy did not give the user's clipboard back"
xdotool type --delay 5 "after the copy"
xdotool key Return ctrl+d
xdotool type --delay 5 "touch cat-done"
xdotool key Return
poll shell_ran cat-done || fail "the shell did not come back after cat"
shell_alive || fail "xterm ended"
grep -q "after the copy" "${work}/typed.txt" 2>/dev/null ||
    fail "the copy interrupted cat: typed.txt holds '$(cat "${work}/typed.txt" 2>/dev/null)'"

# A paste at the prompt: the slot holds a command, which runs when Return follows it.
# The gesture's taps must not reach the terminal: a stray "1" would spoil the command.
command="echo pasted from the slot > pasted.txt"
select_in_terminal "${command}"
gesture 2
poll slot_holds "${command}" || fail "the second copy left '$(slot_text)' in slot 1"
select_in_terminal "something else the user selected"
gesture 1
poll clipboard_holds "user clipboard" || fail "the paste did not give the user's clipboard back"
sleep 0.3
xdotool key Return
poll file_holds "${work}/pasted.txt" "pasted from the slot" ||
    fail "the paste at the prompt did not run '${command}'"

kill -0 "${pastrix_pid}" 2>/dev/null || fail "pastrix exited"
if [ "${failures}" -gt 0 ]; then
    echo "pastrix log:" >&2
    cat "${work}/pastrix.log" >&2
    echo "what xterm showed:" >&2
    cat -v "${work}/screen.log" >&2
    exit 1
fi
echo "terminal gestures: all checks passed"
