#!/usr/bin/env bash
# Slot gestures beside a real clipboard history (CopyQ) and a password manager. Ten copies and
# ten pastes into an editor leave no entry in the history that the user did not copy, and the
# user's own entries are all there. A password copied into a slot with the gesture is pasted
# right, never recorded, never written to disk (the slot's older file goes) and gone after a
# restart.
#
# The editor is mousepad: l3afpad takes the clipboard over with what it pasted, so every paste
# into it becomes a new, unmarked clipboard of its own that any history records.
#
#   history-test.sh PASTRIX PASTRIXCTL SECRET_OWNER
#
# Run it inside a private X session (scripts/xsession).
set -uo pipefail

if [ "$#" -ne 3 ]; then
    echo "usage: history-test.sh PASTRIX PASTRIXCTL SECRET_OWNER" >&2
    exit 2
fi
pastrix_executable="$1"
pastrixctl="$2"
secret_owner="$3"
runs="${PASTRIX_HISTORY_RUNS:-10}"

work="$(mktemp -d "${TMPDIR:-/tmp}/pastrix-history.XXXXXX")"
program="${work}/program"
slots="${program}/Default"
note="${work}/note.txt"
# shellcheck source=tests/x11/e2e/lib/session.sh
source "$(dirname "$0")/lib/session.sh"
# shellcheck source=tests/x11/e2e/lib/waits.sh
source "$(dirname "$0")/lib/waits.sh"
# shellcheck source=tests/x11/e2e/lib/editor.sh
source "$(dirname "$0")/lib/editor.sh"

# A CopyQ of the test's own: settings, history and server socket in its folder.
export XDG_CONFIG_HOME="${work}/config" XDG_DATA_HOME="${work}/data"
export XDG_CACHE_HOME="${work}/cache" XDG_RUNTIME_DIR="${work}/runtime"
mkdir -p "${XDG_RUNTIME_DIR}" && chmod 700 "${XDG_RUNTIME_DIR}"
copyq_session="pastrix$$"
cq() { timeout 20 copyq -s "${copyq_session}" "$@"; }
# One entry per line, newest first (the test's texts have no line breaks).
# (The script goes on standard input: CopyQ 6.4 cannot parse it as an argument.)
history_entries() { cq eval - <<<'for (var i = 0; i < size(); ++i) print(str(read(i)) + "\n")'; }
history_top_is() { [ "$(cq read 0 2>/dev/null)" = "$1" ]; }
recorded() { history_entries | grep -Fxq -- "$1"; }

# What the user copies: the history records it.
user_copies() {
    printf '%s' "$1" | xclip -selection clipboard -i
    wait_until history_top_is "$1"
}
slot_text() {
    "${pastrixctl}" workspace export "${slots}" "$1" CF_TEXT - 2>/dev/null | tr -d '\000'
}
slot_holds() { [ "$(slot_text "$1")" = "$2" ]; }
pasted_and_restored() { [ "$(editor_title)" = "*${note} - Mousepad" ] && clipboard_holds "$1"; }
listed() { "${pastrixctl}" workspace list "${slots}" 2>/dev/null | grep -q "^$1[^0-9]"; }
no_file() { [ ! -e "$1" ]; }

# Ctrl held, the key tapped so many times, Ctrl released.
gesture() {
    local tap
    xdotool keydown ctrl
    for tap in $(seq 1 "$2"); do
        xdotool key "$1"
    done
    xdotool keyup ctrl
}
# Pastes slot KEY into the emptied editor; what arrived there is left in ${pasted}.
pasted=""
paste_into_editor() {
    xdotool windowactivate --sync "${editor_window}"
    xdotool key ctrl+a Delete ctrl+s
    wait_until mousepad_saved || fail "the emptied editor was not saved"
    gesture "$1" 1
    wait_until pasted_and_restored "$2" ||
        fail "after the paste of $1 the title is '$(editor_title)' and the clipboard holds" \
            "'$(xclip -o -selection clipboard 2>/dev/null)', not '$2'"
    xdotool key ctrl+s
    wait_until mousepad_saved || fail "the editor was not saved after the paste of $1"
    pasted="$(cat "${note}")"
}
start_pastrix() {
    (cd "${program}" && exec ./"$(basename "${pastrix_executable}")") \
        >>"${work}/pastrix.log" 2>&1 &
    pastrix_pid=$!
    started+=("${pastrix_pid}")
    wait_window '^Default - Pastrix$' >/dev/null || {
        echo "FAIL: the program's settings window did not come:" >&2
        cat "${work}/pastrix.log" >&2
        exit 1
    }
}

copyq -s "${copyq_session}" >"${work}/copyq.log" 2>&1 &
started+=("$!")
wait_until cq eval 1 >/dev/null 2>&1 || {
    echo "FAIL: CopyQ did not start:" >&2
    cat "${work}/copyq.log" >&2
    exit 1
}
cq eval - <"$(dirname "$0")/copyq-skip-secrets.js" || exit 1
# The monitor takes a while after the server and counts what it finds at its start as old:
# it is ready once a new text is recorded.
allowed=()
for probe in $(seq 1 "${bound_s}"); do
    allowed+=("probe ${probe}")
    printf 'probe %s' "${probe}" | xclip -selection clipboard -i
    for _ in $(seq 1 10); do
        history_top_is "probe ${probe}" && break 2
        sleep 0.1
    done
done
history_top_is "probe ${probe}" || {
    echo "FAIL: CopyQ recorded none of ${bound_s} copies:" >&2
    cat "${work}/copyq.log" >&2
    exit 1
}

# The password manager copies its password as it starts; the history skips it.
secret="hunter2 ${RANDOM}${RANDOM}"
"${secret_owner}" "${secret}" >"${work}/owner.log" 2>&1 &
started+=("$!")
manager_window="$(wait_window '^pastrix-password-manager$')" ||
    { echo "FAIL: the password manager's window did not come" >&2 && exit 1; }
user_copies "before the gestures" || fail "CopyQ did not record the user's first copy"
own_entries=("before the gestures")
! recorded "${secret}" || fail "CopyQ recorded the password manager's secret: not configured"

# The program's own folder, with slot 2 holding a text the user never copied.
stage_program "${pastrix_executable}" "${pastrixctl}" || exit 1
rm -f "${slots}"/px_*.pxf
slot_only="only in slot two ${RANDOM}"
printf '%s\0' "${slot_only}" >"${work}/slot-only"
"${pastrixctl}" workspace import "${slots}" 50 CF_TEXT "${work}/slot-only" >/dev/null || exit 1

: >"${note}"
NO_AT_BRIDGE=1 mousepad "${note}" >"${work}/mousepad.log" 2>&1 &
started+=("$!")
editor_window="$(wait_window 'note\.txt - Mousepad$')" ||
    { echo "FAIL: the editor's window did not come" >&2 && exit 1; }
start_pastrix

own=""
for run in $(seq 1 "${runs}"); do
    own="own copy ${run} ${RANDOM}"
    user_copies "${own}" || fail "run ${run}: CopyQ did not record '${own}'"
    own_entries+=("${own}")

    # A copy of the editor's selection into slot 1: the user copies that too.
    text="copied in run ${run} ${RANDOM}"
    allowed+=("${text}")
    xdotool windowactivate --sync "${editor_window}"
    xdotool key ctrl+a
    xdotool type --delay 1 "${text}"
    xdotool key ctrl+a
    gesture 1 2
    wait_until slot_holds 49 "${text}" || fail "run ${run}: slot 1 holds '$(slot_text 49)'"
    wait_until clipboard_holds "${own}" || fail "run ${run}: the user's clipboard did not come back"

    paste_into_editor 2 "${own}"
    [ "${pasted}" = "${slot_only}" ] || fail "run ${run}: pasted '${pasted}', not '${slot_only}'"
done

# The password copied into slot 1 from the manager's window with the gesture.
[ -f "${slots}/px_49.pxf" ] || fail "slot 1 has no file before the secret"
xdotool windowactivate --sync "${manager_window}"
gesture 1 2
wait_until no_file "${slots}/px_49.pxf" || fail "slot 1's older file is still there"
wait_until clipboard_holds "${own}" || fail "the user's clipboard did not come back after the secret"
! recorded "${secret}" || fail "CopyQ recorded the secret the gesture copied"
paste_into_editor 1 "${own}"
[ "${pasted}" = "${secret}" ] || fail "slot 1 pasted '${pasted}', not the secret"
listed 49 && fail "pastrixctl lists the secret's slot"
ls "${slots}"/px_49* >/dev/null 2>&1 && fail "a file of slot 1 is on disk: $(ls "${slots}")"

# A restart knows nothing of it.
kill "${pastrix_pid}"
wait "${pastrix_pid}" 2>/dev/null
wait_gone '^Default - Pastrix$' || fail "the program's window stayed after it ended"
start_pastrix
listed 50 || fail "slot 2 is not listed after the restart"
listed 49 && fail "slot 1 is listed after the restart"
xdotool windowactivate --sync "${editor_window}"
xdotool key ctrl+a Delete ctrl+s
wait_until mousepad_saved || fail "the emptied editor was not saved"
gesture 1 1
sleep 1
mousepad_saved || fail "a paste of slot 1 after the restart changed the editor"

# The history holds what the user copied, all of it, and nothing else.
history_entries >"${work}/history.txt"
while IFS= read -r entry; do
    printf '%s\n' "${allowed[@]}" "${own_entries[@]}" | grep -Fxq -- "${entry}" ||
        fail "the history recorded '${entry}', which the user never copied"
done <"${work}/history.txt"
for entry in "${own_entries[@]}"; do
    grep -Fxq -- "${entry}" "${work}/history.txt" ||
        fail "the user's own '${entry}' is missing from the history"
done

if [ "${failures}" -ne 0 ]; then
    echo "${failures} check(s) failed; the history held:" >&2
    cat "${work}/history.txt" >&2
    echo "pastrix said:" >&2
    cat "${work}/pastrix.log" >&2
    exit 1
fi
echo "${runs} copies and ${runs} pastes beside CopyQ left only the user's own entries;" \
    "the secret stayed in memory"
