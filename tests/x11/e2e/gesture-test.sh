#!/usr/bin/env bash
# The whole slot gesture against a real editor, driven with xdotool as a user would: copy a
# selection into slot 1 (Ctrl held, 1 tapped twice), paste it back (Ctrl held, 1 tapped once),
# twenty times in a row, checking the slot file, the editor's text and that the user's own
# clipboard comes back each time. Prints how long each step took after the Ctrl release.
#
#   gesture-test.sh PASTRIX PASTRIXCTL [ARTIFACT_DIRECTORY]
#
# Run it inside a private X session (scripts/xsession). Fails only on wrong results; the
# timings are reported, never judged.
set -uo pipefail

if [ "$#" -lt 2 ]; then
    echo "usage: gesture-test.sh PASTRIX PASTRIXCTL [ARTIFACT_DIRECTORY]" >&2
    exit 2
fi
pastrix_executable="$1"
pastrixctl="$2"
artifacts="${3:-${PWD}}"
runs="${PASTRIX_GESTURE_RUNS:-20}"
# Generous: only a result that never comes fails the test.
timeout_ms=5000

work="$(mktemp -d "${TMPDIR:-/tmp}/pastrix-gesture.XXXXXX")"
program="${work}/program"
note="${work}/note.txt"
# shellcheck source=tests/x11/e2e/lib/session.sh
source "$(dirname "$0")/lib/session.sh"
# shellcheck source=tests/x11/e2e/lib/editor.sh
source "$(dirname "$0")/lib/editor.sh"

# Runs the command every 5 ms until it succeeds; sets waited_us to the time since $1 (in
# microseconds since the epoch). Returns 1 when the time-out passes first.
waited_us=0
poll_since() {
    local since="$1"
    shift
    local deadline=$((since + timeout_ms * 1000))
    while true; do
        if "$@"; then
            waited_us=$(($(now_us) - since))
            return 0
        fi
        if [ "$(now_us)" -gt "${deadline}" ]; then
            waited_us=$(($(now_us) - since))
            return 1
        fi
        sleep 0.005
    done
}

# The slot of the key 1 is 49 (its key code); the test's texts are plain ASCII, which the
# program keeps as CF_TEXT.
slot_text() {
    "${pastrixctl}" workspace export "${program}/Default" 49 CF_TEXT - 2>/dev/null | tr -d '\000'
}
clipboard_text() { xclip -o -selection clipboard 2>/dev/null; }

slot_holds() { [ "$(slot_text)" = "$1" ]; }
editor_saved() { [ "$(editor_title)" = "note.txt" ]; }
editor_modified() { [ "$(editor_title)" = "*note.txt" ]; }
pasted_and_restored() { editor_modified && clipboard_holds "$1"; }

set_user_clipboard() {
    printf '%s' "$1" | xclip -selection clipboard -i
    poll_since "$(now_us)" clipboard_holds "$1"
}

# Median and maximum of microsecond values, printed in milliseconds.
summary() {
    local name="$1"
    shift
    printf '%s\n' "$@" | sort -n | awk -v name="${name}" '
        { v[NR] = $1 }
        END {
            median = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            printf "%s: median %.1f ms, maximum %.1f ms over %d runs\n",
                name, median / 1000, v[NR] / 1000, NR
        }'
}

stage_program "${pastrix_executable}" "${pastrixctl}" || exit 1
rm -f "${program}/Default/px_49.pxf"
mkdir -p "${artifacts}"

(cd "${program}" && exec ./"$(basename "${pastrix_executable}")") \
    >"${work}/pastrix.log" 2>&1 &
pastrix_pid=$!
started+=("${pastrix_pid}")

: >"${note}"
l3afpad "${note}" >"${work}/l3afpad.log" 2>&1 &
started+=("$!")
# Peers get a minute to show up: a loaded machine is slow, and only one that never comes fails.
window_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
editor_window=""
for _ in $(seq 1 600); do
    editor_window="$(window_named '^note\.txt$')"
    [ -n "${editor_window}" ] && break
    sleep 0.1
done
if [ -z "${editor_window}" ]; then
    echo "FAIL: waited 60 s for the editor's window (l3afpad, note.txt)" >&2
    exit 1
fi

# The settings window shows once the program has loaded its workspace and installed its hooks.
sheet=""
for _ in $(seq 1 600); do
    kill -0 "${pastrix_pid}" 2>/dev/null || break
    sheet="$(window_named '^Default - Pastrix$')"
    [ -n "${sheet}" ] && break
    sleep 0.1
done
if ! kill -0 "${pastrix_pid}" 2>/dev/null; then
    echo "FAIL: pastrix exited at start:" >&2
    cat "${work}/pastrix.log" >&2
    exit 1
fi
if [ -z "${sheet}" ]; then
    echo "FAIL: waited 60 s for the program's settings window (Default - Pastrix):" >&2
    cat "${work}/pastrix.log" >&2
    exit 1
fi
# The program's settings window came up over the editor.
xdotool windowactivate --sync "${editor_window}"

copy_times=()
paste_times=()
for run in $(seq 1 "${runs}"); do
    text="Slot line ${run}: the quick brown fox ${RANDOM}"
    user="user clipboard ${run} ${RANDOM}"

    # Copy: the editor holds the text, selected; the user's clipboard holds something else.
    xdotool key ctrl+a
    xdotool type --delay 1 "${text}"
    xdotool key ctrl+a
    set_user_clipboard "${user}" || fail "run ${run}: xclip did not take the clipboard"

    xdotool keydown ctrl
    xdotool key 1
    xdotool key 1
    if [ "${run}" -eq 1 ]; then
        # The tooltip shows while Ctrl is still held.
        sleep 0.3
        import -window root "${artifacts}/gesture-tooltip.png" ||
            fail "no screenshot of the tooltip"
    fi
    xdotool keyup ctrl
    released="$(now_us)"
    if poll_since "${released}" slot_holds "${text}"; then
        copy_times+=("${waited_us}")
    else
        fail "run ${run}: slot 1 holds '$(slot_text)', not '${text}'"
    fi
    poll_since "${released}" clipboard_holds "${user}" ||
        fail "run ${run}: after the copy the clipboard holds '$(clipboard_text)', not '${user}'"

    # Paste into an emptied, saved editor; the title shows when the text arrived.
    xdotool key ctrl+a Delete ctrl+s
    poll_since "$(now_us)" editor_saved || fail "run ${run}: the emptied editor was not saved"

    xdotool keydown ctrl
    xdotool key 1
    xdotool keyup ctrl
    released="$(now_us)"
    if poll_since "${released}" pasted_and_restored "${user}"; then
        paste_times+=("${waited_us}")
    else
        fail "run ${run}: after the paste the title is '$(editor_title)' and the clipboard" \
            "holds '$(clipboard_text)', not '${user}'"
    fi
    xdotool key ctrl+s
    poll_since "$(now_us)" editor_saved || fail "run ${run}: the editor was not saved"
    pasted="$(cat "${note}")"
    [ "${pasted}" = "${text}" ] || fail "run ${run}: pasted '${pasted}', not '${text}'"
done

[ -s "${artifacts}/gesture-tooltip.png" ] || fail "the tooltip screenshot is empty"
if kill -0 "${pastrix_pid}" 2>/dev/null; then
    :
else
    fail "pastrix exited during the gesture"
fi

[ "${#copy_times[@]}" -gt 0 ] && summary "copy (Ctrl release to slot file)" "${copy_times[@]}"
[ "${#paste_times[@]}" -gt 0 ] &&
    summary "paste (Ctrl release to editor text and clipboard back)" "${paste_times[@]}"

if [ "${failures}" -ne 0 ]; then
    echo "${failures} check(s) failed; pastrix said:" >&2
    cat "${work}/pastrix.log" >&2
    exit 1
fi
echo "all ${runs} copies and pastes right"
