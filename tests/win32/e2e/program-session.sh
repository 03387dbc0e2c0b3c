#!/usr/bin/env bash
# Drives the Windows program under Wine as a user would, with xdotool only, on the X display of
# scripts/winesession, with a notification area (trayer) and notepad as the application in
# front:
#
#   program-session.sh PROGRAM_DIR PASTRIXCTL PROBE CLIPBOARD_PEER ARTIFACT_DIR
#
# PASTRIXCTL is a pastrixctl for this machine; PROBE (pastrix_window_probe.exe) tells where a
# control is, what notepad holds, and times gestures from inside Wine; CLIPBOARD_PEER puts the
# user's own clipboard in place. Works on a private copy of the program directory and leaves
# screenshots and the gesture timings in ARTIFACT_DIR.
set -uo pipefail

if [ "$#" -ne 5 ]; then
    echo "usage: program-session.sh PROGRAM_DIR PASTRIXCTL PROBE CLIPBOARD_PEER ARTIFACT_DIR" >&2
    exit 2
fi
program_built="$1"
ctl="$2"
probe_exe="$3"
clipboard_peer="$4"
artifacts="$5"
runs="${PASTRIX_GESTURE_RUNS:-20}"
mkdir -p "${artifacts}"
rm -f "${artifacts}"/*.png

work="$(mktemp -d "${TMPDIR:-/tmp}/pastrix-wine-session.XXXXXX")"
program="${work}/program"
cp -r "${program_built}" "${program}"
rm -rf "${program}"/Default/* "${program}/Work"
# shellcheck source=tests/x11/e2e/lib/session.sh
source "$(dirname "$0")/../../x11/e2e/lib/session.sh"

fail() {
    echo "FAILED: $*" >&2
    import -window root "${artifacts}/failure.png" 2>/dev/null
    echo "visible windows:" >&2
    xdotool search --onlyvisible --name . getwindowname %@ >&2 2>/dev/null
    exit 1
}

# shellcheck source=tests/x11/e2e/lib/waits.sh
source "$(dirname "$0")/../../x11/e2e/lib/waits.sh"

probe() { wine "${probe_exe}" "$@" 2>/dev/null | tr -d '\r'; }

# Clicks where the probe says a control of a window is.
click_at() {  # X Y
    xdotool mousemove "$1" "$2" click 1
    sleep 0.4
}
click_control() {  # TITLE ID
    local where
    where="$(probe control "$1" "$2")" && [ -n "${where}" ] ||
        fail "no control $2 in the window '$1'"
    # shellcheck disable=SC2086
    click_at ${where}
}
# Ctrl+Tab on the sheet until the page that holds the control is the one shown.
show_page() {  # TITLE ID
    local window
    for _ in 1 2 3 4 5 6 7 8; do
        probe control "$1" "$2" >/dev/null && return 0
        window="$(wait_window "^$1$")" || fail "no window '$1'"
        xdotool windowactivate --sync "${window}" key ctrl+Tab
        sleep 0.5
    done
    fail "no page of '$1' shows the control $2"
}

shot() {
    import -window root "${artifacts}/$1.png"
}

# Wine's own notification area, a window of its own that Wine shows while no XEMBED tray takes
# the icons.
wine_tray="^Wine System Tray$"
# The program's icon docked in trayer's panel: a window of Wine's explorer inside the panel.
icon_docked() {
    xwininfo -root -tree | awk '
        /"panel": \("panel" "trayer"\)/ {depth = match($0, /[^ ]/); next}
        depth && match($0, /[^ ]/) <= depth {depth = 0}
        depth && /"explorer.exe"/ {found = 1}
        END {exit !found}'
}

notepad_text() { probe text "${notepad_title}" Edit; }
notepad_holds() { text="$(notepad_text)" && [ "${text}" = "${expected}" ]; }
text=""
notepad_title="Untitled - Notepad"
# The probe's output loses its carriage returns on the way out of Wine.
crlf=$'\n'

"${ctl}" config set "${program}/config.cfg" util.newsletter.SimpleSignUp.askForEmailAddress \
    false >/dev/null || fail "cannot switch the newsletter offer off"

sheet_title="Default - Pastrix"
pastrix_ended() { ! kill -0 "${pastrix_pid}" 2>/dev/null; }
start_pastrix() {
    (cd "${program}" && exec wine ./pastrix.exe "$@") >>"${work}/pastrix.log" 2>&1 &
    pastrix_pid=$!
    started+=("${pastrix_pid}")
}

# With trayer as the desktop's notification area, the icon docks in its panel; a second start
# is refused and leaves the first running.
trayer --edge bottom --align right --widthtype request --height 24 >"${work}/trayer.log" 2>&1 &
trayer_pid=$!
started+=("${trayer_pid}")
sleep 1
start_pastrix -minimized
wait_until icon_docked || fail "waited ${bound_s} s for the program's icon in trayer's panel"
sleep 0.5
xdotool search --onlyvisible --name "^${sheet_title}$" >/dev/null 2>&1 &&
    fail "a window is visible although the program started minimised"
shot trayer-icon
first_pid="${pastrix_pid}"
start_pastrix
refusal="$(wait_window "^Pastrix Error$")" || fail "a second start shows no refusal"
sleep 0.3
shot second-start-refused
xdotool windowactivate --sync "${refusal}" key Return
wait_until pastrix_ended || fail "the second start does not end after its refusal"
pastrix_pid="${first_pid}"
kill -0 "${pastrix_pid}" 2>/dev/null || fail "the first program ended when the second started"
# A click on an icon docked in trayer never reaches Wine's icon window (Wine 8), so the rest
# uses Wine's own notification area: the program is started again without trayer.
kill "${pastrix_pid}" 2>/dev/null
wait_until pastrix_ended || fail "the program does not end when killed"
kill "${trayer_pid}"
wait "${trayer_pid}" 2>/dev/null

# Started minimised: an icon in the notification area and no settings window.
start_pastrix -minimized
tray="$(wait_window "${wine_tray}")" || fail "waited ${bound_s} s for the program's icon in Wine's notification area"
sleep 0.5
xdotool search --onlyvisible --name "^${sheet_title}$" >/dev/null 2>&1 &&
    fail "a window is visible although the program started minimised"
shot status-area

# A click on the icon brings the sheet back.
xdotool mousemove --window "${tray}" 10 10 click 1
sheet="$(wait_window "^${sheet_title}$")" || fail "the icon did not restore the sheet"
sleep 0.5
shot system-page

# A new workspace becomes the active one.
click_control "${sheet_title}" 1002
dialog="$(wait_window "^Create new workspace$")" || fail "no workspace name dialog"
sleep 0.3
shot new-workspace
xdotool type --delay 50 "Work"
xdotool key Return
sheet_title="Work - Pastrix"
sheet="$(wait_window "^${sheet_title}$")" || fail "the sheet does not name the new workspace"

# The Pastrix page, then a Cool Key through its editor on the Cool Keys page.
show_page "${sheet_title}" 1102
shot pastrix-page
show_page "${sheet_title}" 1029
click_control "${sheet_title}" 1029
editor_dialog="$(wait_window "^Abbreviation$")" || fail "no Cool Key editor"
sleep 0.3
shot coolkey-editor
xdotool type --delay 50 "pxq"
xdotool key Tab
xdotool type --delay 50 "expanded by Pastrix"
xdotool key Tab Return
wait_gone "^Abbreviation$" || fail "the Cool Key editor stays open"
sleep 0.3
shot coolkeys-page
show_page "${sheet_title}" 1015
shot about-page

# Notepad in front, with the user's own clipboard: a text and a format of another program.
wine "${clipboard_peer}" set "users own" 00ff10 || fail "cannot put the user's clipboard in place"
wine notepad >"${work}/notepad.log" 2>&1 &
started+=("$!")
notepad="$(wait_window "^${notepad_title}$")" || fail "waited ${bound_s} s for notepad's window"
xdotool windowactivate --sync "${notepad}"
sleep 0.5
xdotool type --delay 30 "slot text"
xdotool key ctrl+a
sleep 0.3

user_clipboard="users own
00ff10"
clipboard_is_users() { [ "$(probe clipboard "Pastrix Test Format")" = "${user_clipboard}" ]; }

# Copy into slot K: Ctrl held, K tapped twice; the tooltip shows while Ctrl is down.
xdotool keydown ctrl
sleep 0.2
xdotool key k
sleep 0.5
shot tooltip
xdotool key k
sleep 0.2
xdotool keyup ctrl
wait_until test -f "${program}/Work/px_75.pxf" ||
    fail "waited ${bound_s} s for the copy gesture to save px_75.pxf"
sleep 0.5
clipboard_is_users || fail "after the copy the clipboard holds '$(probe clipboard "Pastrix Test Format")'"

# Paste it on the next line: Ctrl held, K tapped once.
xdotool key End Return
xdotool keydown ctrl
sleep 0.2
xdotool key k
sleep 0.2
xdotool keyup ctrl
expected="slot text${crlf}slot text"
wait_until notepad_holds || fail "after the paste notepad holds '${text}', not '${expected}'"
sleep 0.5
clipboard_is_users || fail "after the paste the clipboard holds '$(probe clipboard "Pastrix Test Format")'"

# A Cool Key typed into notepad.
xdotool key ctrl+End Return
# The expansion is made once the last key of the abbreviation was seen; what the user types
# meanwhile lands before the Backspaces, so this user waits for it.
xdotool type --delay 80 "pxq"
expected="slot text${crlf}slot text${crlf}expanded by Pastrix"
wait_until notepad_holds || fail "the Cool Key left notepad holding '${text}', not '${expected}'"

# The gesture timings, from the release of Ctrl to the outcome, seen from inside Wine.
copy_ms=()
paste_ms=()
time_gesture() {  # PROBE-ARGS... -- TAPS
    local taps="$1"
    shift
    local result="${work}/probe.out"
    (wine "${probe_exe}" "$@" 2>/dev/null | tr -d '\r' >"${result}") &
    local probe_pid=$!
    sleep 0.6
    xdotool keydown ctrl
    sleep 0.1
    for _ in $(seq 1 "${taps}"); do
        xdotool key k
        sleep 0.1
    done
    xdotool keyup ctrl
    wait "${probe_pid}" || fail "the probe saw no outcome of the gesture"
    cat "${result}"
}
for _ in $(seq 1 "${runs}"); do
    xdotool key ctrl+a
    sleep 0.3
    copy_ms+=("$(time_gesture 2 copy-ms "$(winepath -w "${program}/Work/px_75.pxf")")")
    sleep 0.3
done
xdotool key ctrl+End
for _ in $(seq 1 "${runs}"); do
    paste_ms+=("$(time_gesture 1 paste-ms "${notepad_title}" Edit)")
    sleep 0.3
done
summary() {  # NAME VALUES...
    local name="$1"
    shift
    printf '%s\n' "$@" | sort -n | awk -v name="${name}" '{v[NR] = $1} END {
        median = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%s: %d runs, median %s ms, maximum %s ms\n", name, NR, median, v[NR]}'
}
{
    summary copy "${copy_ms[@]}"
    summary paste "${paste_ms[@]}"
} | tee "${artifacts}/gesture-timings.txt"

# The slot viewer: select the slot, Delete, confirm.
show_page "${sheet_title}" 1102
click_control "${sheet_title}" 1102
viewer="$(wait_window "^Work$")" || fail "no slot viewer"
sleep 0.5
shot slot-viewer
click_control "Work" 1300
xdotool key Home Delete
question="$(wait_window "^Warning$")" || fail "no question before deleting"
sleep 0.3
shot delete-question
xdotool key Return
wait_gone "^Warning$" || fail "the question stays open"
wait_until test ! -e "${program}/Work/px_75.pxf" || fail "px_75.pxf is still there after Delete"
xdotool windowactivate --sync "${viewer}" key Escape
wait_gone "^Work$" || fail "the slot viewer stays open"

# Minimise to the notification area, come back, shut down.
xdotool windowactivate --sync "${sheet}" || fail "cannot bring the sheet forward"
click_control "${sheet_title}" 1
wait_gone "^${sheet_title}$" || fail "Minimize left the sheet on screen"
kill -0 "${pastrix_pid}" 2>/dev/null || fail "the program ended on Minimize"
tray="$(wait_window "${wine_tray}")" || fail "no icon in the notification area after Minimize"
xdotool mousemove --window "${tray}" 10 10 click 1
sheet="$(wait_window "^${sheet_title}$")" || fail "the icon did not restore the sheet again"
click_control "${sheet_title}" 2
wait_until pastrix_ended || fail "the program still runs after Shutdown"
wait "${pastrix_pid}"
status=$?
[ "${status}" -eq 0 ] || fail "the program ended with status ${status}"

active="$("${ctl}" config get "${program}/config.cfg" SYSTEM_ActiveWorkspace)"
[ "${active}" = "Work" ] || fail "the active workspace is '${active}', not Work"
coolkeys="$("${ctl}" coolkeys list "${program}/Work")" || fail "cannot list the Cool Keys"
grep -q "expanded by Pastrix" <<<"${coolkeys}" || fail "the Cool Key is missing: ${coolkeys}"
echo "Windows program session passed; screenshots in ${artifacts}"
exit 0
