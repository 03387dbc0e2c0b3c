#!/usr/bin/env bash
# Drives the built program as a user would, on the X display of scripts/xsession, with a
# notification area (trayer) and an editor (l3afpad):
#
#   program-session.sh PASTRIX PASTRIXCTL SELECTION_OWNER ARTIFACT_DIR
#
# Works on a private copy of the program directory; leaves screenshots in ARTIFACT_DIR.
# Positions are relative to the windows found by title; they follow the dialog layout.
set -uo pipefail

if [ "$#" -ne 4 ]; then
    echo "usage: program-session.sh PASTRIX PASTRIXCTL SELECTION_OWNER ARTIFACT_DIR" >&2
    exit 2
fi
pastrix_built="$1"
ctl="$2"
selection_owner="$3"
artifacts="$4"
mkdir -p "${artifacts}"
rm -f "${artifacts}"/*.png

work="$(mktemp -d "${TMPDIR:-/tmp}/pastrix-session.XXXXXX")"
program="${work}/program"
cp -r "$(dirname "${pastrix_built}")" "${program}"
rm -rf "${program}"/Default/* "${program}/Work"
# shellcheck source=tests/x11/e2e/lib/session.sh
source "$(dirname "$0")/lib/session.sh"

# A step that fails leaves nothing to go on from: show the desktop and end.
fail() {
    echo "FAILED: $*" >&2
    import -window root "${artifacts}/failure.png" 2>/dev/null
    echo "visible windows:" >&2
    xdotool search --onlyvisible --name . getwindowname %@ >&2 2>/dev/null
    [ -f "${work}/pastrix.log" ] && sed 's/^/pastrix: /' "${work}/pastrix.log" >&2
    exit 1
}

# shellcheck source=tests/x11/e2e/lib/waits.sh
source "$(dirname "$0")/lib/waits.sh"

click() {  # WINDOW X Y
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep 0.4
}

# The program's icon docked in trayer's panel (a new window each time the icon is shown).
docked_icon() { xwininfo -root -tree | awk '/"pastrix": \("pastrix" "pastrix"\)/ {print $1}'; }
wait_icon() { wait_output docked_icon; }

shot() {
    import -window root "${artifacts}/$1.png"
}

# The text of the editor, through the ordinary copy key (C is a filter key: no slot use).
editor_text() {
    xdotool key ctrl+a ctrl+c
    sleep 0.4
    xclip -selection clipboard -o 2>/dev/null
}
# Whether the editor holds ${expected}; leaves what it holds in ${text}.
text=""
editor_holds() { text="$(editor_text)" && [ "${text}" = "${expected}" ]; }

"${ctl}" config set "${program}/config.cfg" util.newsletter.SimpleSignUp.askForEmailAddress \
    false >/dev/null || fail "cannot switch the newsletter offer off"

trayer --edge bottom --align right --widthtype request --height 24 >"${work}/trayer.log" 2>&1 &
started+=("$!")
"${selection_owner}" _NET_SYSTEM_TRAY_S0 "${bound_s}" >/dev/null ||
    fail "waited ${bound_s} s for trayer to own the notification area (_NET_SYSTEM_TRAY_S0)"

# Started minimised: an icon in the notification area and no settings window.
(cd "${program}" && exec ./pastrix -minimized) >"${work}/pastrix.log" 2>&1 &
pastrix_pid=$!
started+=("${pastrix_pid}")
icon="$(wait_icon)" || fail "waited ${bound_s} s for the program's icon in the notification area"
sleep 0.5
xdotool search --onlyvisible --name "^Default - Pastrix$" >/dev/null 2>&1 &&
    fail "a window is visible although the program started minimised"

# A click on the icon brings the sheet back.
click "${icon}" 11 11
sheet="$(wait_window "^Default - Pastrix$")" || fail "the icon did not restore the sheet"
sleep 0.5
shot sheet

# A new workspace becomes the active one.
click "${sheet}" 280 159
dialog="$(wait_window "^Create new workspace$")" || fail "no workspace name dialog"
xdotool type --delay 50 "Work"
click "${dialog}" 269 92
sheet="$(wait_window "^Work - Pastrix$")" || fail "the sheet does not name the new workspace"

# A filter key: Q is not to be a slot.
click "${sheet}" 108 20
click "${sheet}" 280 159
xdotool key q
sleep 0.3
click "${sheet}" 280 194
shot pastrix-page

# A Cool Key through its editor.
click "${sheet}" 182 20
click "${sheet}" 280 351
editor_dialog="$(wait_window "^Abbreviation$")" || fail "no Cool Key editor"
sleep 0.3
shot coolkey-editor
xdotool type --delay 50 "pxq"
xdotool key Tab
xdotool type --delay 50 "expanded by Pastrix"
click "${editor_dialog}" 289 255
wait_gone "^Abbreviation$" || fail "the Cool Key editor stays open"
shot coolkeys-page

# The editor: copy into slot 1, paste it on the next line, then type the abbreviation.
l3afpad >"${work}/l3afpad.log" 2>&1 &
started+=("$!")
editor="$(wait_window "^\(Untitled\)$")" || fail "waited ${bound_s} s for l3afpad's window"
xdotool windowactivate --sync "${editor}"
sleep 0.5
xdotool type --delay 30 "slot text"
xdotool key ctrl+a
xdotool keydown ctrl
sleep 0.2
xdotool key 1
sleep 0.5
shot tooltip
xdotool key 1
sleep 0.2
xdotool keyup ctrl
wait_until test -f "${program}/Work/px_49.pxf" ||
    fail "waited ${bound_s} s for the copy gesture to save the slot file"
xdotool key End Return
xdotool keydown ctrl
sleep 0.2
xdotool key 1
sleep 0.2
xdotool keyup ctrl
# Typing on before the paste landed would race it; reading the text selects it all.
expected="slot text
slot text"
wait_until editor_holds || fail "after the paste the editor holds '${text}', not '${expected}'"
xdotool key ctrl+End Return
xdotool type --delay 80 "pxq "
expected="slot text
slot text
expanded by Pastrix "
wait_until editor_holds || fail "the editor holds '${text}', not '${expected}'"
sleep 0.5

# The slot viewer: select the slot, Delete, confirm.
xdotool windowactivate --sync "${sheet}" || fail "cannot bring the sheet forward"
click "${sheet}" 108 20
click "${sheet}" 280 351
viewer="$(wait_window "^Work$")" || fail "no slot viewer"
sleep 0.5
shot slot-viewer
click "${viewer}" 100 26
xdotool key Delete
question="$(wait_window "^Warning$")" || fail "no question before deleting"
sleep 0.3
shot delete-question
click "${question}" 332 61
wait_gone "^Warning$" || fail "the question stays open"
sleep 0.5
wait_until test ! -e "${program}/Work/px_49.pxf" || fail "the slot file is still there after Delete"
xdotool windowactivate --sync "${viewer}" key Escape
wait_gone "^Work$" || fail "the slot viewer stays open"

# Minimise to the notification area, come back, shut down.
xdotool windowactivate --sync "${sheet}" || fail "cannot bring the sheet forward"
click "${sheet}" 127 408
wait_gone "^Work - Pastrix$" || fail "Minimize left the sheet on screen"
kill -0 "${pastrix_pid}" 2>/dev/null || fail "the program ended on Minimize"
icon="$(wait_icon)" || fail "no icon in the notification area after Minimize"
click "${icon}" 11 11
sheet="$(wait_window "^Work - Pastrix$")" || fail "the icon did not restore the sheet again"
click "${sheet}" 221 408
program_ended() { ! kill -0 "${pastrix_pid}" 2>/dev/null; }
wait_until program_ended
kill -0 "${pastrix_pid}" 2>/dev/null && fail "the program still runs after Shutdown"
wait "${pastrix_pid}"
status=$?
[ "${status}" -eq 0 ] || fail "the program ended with status ${status}"

# What the session left behind.
active="$("${ctl}" config get "${program}/config.cfg" SYSTEM_ActiveWorkspace)"
[ "${active}" = "Work" ] || fail "the active workspace is '${active}', not Work"
filters="$("${ctl}" config get "${program}/config.cfg" PX_FilterKeys)"
[ "${filters}" = "65|67|86|88|89|90|81" ] || fail "the filter keys are '${filters}', Q (81) added"
coolkeys="$("${ctl}" coolkeys list "${program}/Work")" || fail "cannot list the Cool Keys"
grep -q "pxq" <<<"${coolkeys}" || fail "the Cool Key is missing: ${coolkeys}"
grep -q "expanded by Pastrix" <<<"${coolkeys}" || fail "the Cool Key text is wrong: ${coolkeys}"
ls "${program}"/Work/ck_*.ckf >/dev/null 2>&1 || fail "no Cool Key file in the workspace"
"${ctl}" workspace show "${program}/Work" 49 >/dev/null 2>&1 &&
    fail "slot 1 (key 49) still shows after it was deleted"
echo "program session passed; screenshots in ${artifacts}"
exit 0
