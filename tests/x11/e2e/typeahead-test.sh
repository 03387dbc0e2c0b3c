#!/usr/bin/env bash
# Typing right after a paste gesture lands after the pasted text. Each run empties a real
# editor, pastes slot 2 (Ctrl held, 2 tapped, Ctrl released) and, 50 ms after the release, types
# a word, Return and another word, as a user who goes on writing would; the saved file must
# hold the slot's text first. The program keeps the keyboard while the paste runs and types
# what it kept afterwards.
#
# The user's own clipboard belongs to an application that answers late, so the program is
# still reading it (to put it back afterwards) when the typing comes: without the program
# keeping the typing back, it lands before the pasted text every time.
#
# Last comes one paste with the left button held instead of Ctrl: its tap of 2 must not type a
# "2" into the editor.
#
#   typeahead-test.sh PASTRIX PASTRIXCTL SLOW_OWNER
#
# SLOW_OWNER is pastrix_x11_secret_owner, which can answer late.
#
# Run it inside a private X session (scripts/xsession). The editor is mousepad (l3afpad takes
# the clipboard over with what it pasted).
set -uo pipefail

if [ "$#" -ne 3 ]; then
    echo "usage: typeahead-test.sh PASTRIX PASTRIXCTL SLOW_OWNER" >&2
    exit 2
fi
pastrix_executable="$1"
pastrixctl="$2"
slow_owner="$3"
runs="${PASTRIX_TYPEAHEAD_RUNS:-20}"

work="$(mktemp -d "${TMPDIR:-/tmp}/pastrix-typeahead.XXXXXX")"
program="${work}/program"
slots="${program}/Default"
note="${work}/note.txt"
# shellcheck source=tests/x11/e2e/lib/session.sh
source "$(dirname "$0")/lib/session.sh"
# shellcheck source=tests/x11/e2e/lib/waits.sh
source "$(dirname "$0")/lib/waits.sh"
# shellcheck source=tests/x11/e2e/lib/editor.sh
source "$(dirname "$0")/lib/editor.sh"

note_holds() { [ "$(cat "${note}")" = "$1" ]; }

stage_program "${pastrix_executable}" "${pastrixctl}" || exit 1
rm -f "${slots}"/px_*.pxf
# A text of many lines, which the editor takes a while to fetch and insert.
slot_text="$(for line in $(seq 1 "${PASTRIX_TYPEAHEAD_LINES:-500}"); do
    printf 'line %s of the slot, pasted before what the user types next %s\n' "${line}" "${RANDOM}"
done)pasted from slot two"
printf '%s\0' "${slot_text}" >"${work}/slot"
"${pastrixctl}" workspace import "${slots}" 50 CF_TEXT "${work}/slot" >/dev/null || exit 1

: >"${note}"
NO_AT_BRIDGE=1 mousepad "${note}" >"${work}/mousepad.log" 2>&1 &
started+=("$!")
editor_window="$(wait_window 'note\.txt - Mousepad$')" ||
    { echo "FAIL: the editor's window did not come" >&2 && exit 1; }
(cd "${program}" && exec ./"$(basename "${pastrix_executable}")") >"${work}/pastrix.log" 2>&1 &
pastrix_pid=$!
started+=("${pastrix_pid}")
wait_window '^Default - Pastrix$' >/dev/null || {
    echo "FAIL: the program's settings window did not come:" >&2
    cat "${work}/pastrix.log" >&2
    exit 1
}

wrong=0
for run in $(seq 1 "${runs}"); do
    # After each paste the program owns the clipboard it put back: the slow owner takes it anew.
    "${slow_owner}" "user clipboard" none "${PASTRIX_TYPEAHEAD_OWNER_DELAY_MS:-60}" \
        >"${work}/owner.log" 2>&1 &
    owner_pid=$!
    wait_until grep -q owned "${work}/owner.log" || fail "run ${run}: the slow owner did not own"
    xdotool windowactivate --sync "${editor_window}"
    xdotool key ctrl+a Delete ctrl+s
    wait_until mousepad_saved || fail "run ${run}: the emptied editor was not saved"

    xdotool keydown ctrl key 2 keyup ctrl sleep 0.05 type --delay 10 "next"
    xdotool key Return type --delay 10 "line"
    expected="${slot_text}next"$'\n'"line"
    wait_until clipboard_holds "user clipboard" ||
        fail "run ${run}: the user's clipboard did not come back"
    # The save keystroke is typing too: it waits its turn behind the paste.
    xdotool key ctrl+s
    if ! wait_until note_holds "${expected}"; then
        fail "run ${run}: the editor holds '$(tail -c 80 "${note}")' at its end, and" \
            "$(wc -c <"${note}") bytes, not the slot's ${#slot_text} and the typing"
        wrong=$((wrong + 1))
    fi
    kill "${owner_pid}" 2>/dev/null
    wait "${owner_pid}" 2>/dev/null
done

# The left button as the trigger: held over the editor's text, 2 tapped, released. The tap is
# the gesture's and types no "2" of its own; what is typed after the release follows the paste.
xdotool windowactivate --sync "${editor_window}"
xdotool key ctrl+a Delete ctrl+s
wait_until mousepad_saved || fail "the emptied editor was not saved before the left-button paste"
eval "$(xdotool getwindowgeometry --shell "${editor_window}")"
xdotool mousemove "$((X + WIDTH / 2))" "$((Y + HEIGHT / 2))" mousedown 1 sleep 0.3 key 2 \
    sleep 0.05 mouseup 1 sleep 0.05 type --delay 10 "next"
xdotool key ctrl+s
wait_until note_holds "${slot_text}next" ||
    fail "after a left-button paste the editor begins with '$(head -c 40 "${note}")' and ends" \
        "with '$(tail -c 40 "${note}")', not the slot's text and the typing"

kill -0 "${pastrix_pid}" 2>/dev/null || fail "pastrix exited during the runs"
if [ "${failures}" -ne 0 ]; then
    echo "${wrong} of ${runs} runs typed out of order; pastrix said:" >&2
    cat "${work}/pastrix.log" >&2
    exit 1
fi
echo "all ${runs} pastes came before the typing that followed them"
