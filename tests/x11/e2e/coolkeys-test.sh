#!/usr/bin/env bash
# Cool Keys of the built program against a real editor (l3afpad), typed with xdotool as a user
# would, on the US and the German layout: expansions that repeat the abbreviation's last key,
# with that key tapped and held while the expansion starts, a text outside ASCII, and a text of
# several lines added from an ordinary (LF) file.
#
#   coolkeys-test.sh PASTRIX PASTRIXCTL
#
# Run it inside a private X session (scripts/xsession).
set -uo pipefail

if [ "$#" -ne 2 ]; then
    echo "usage: coolkeys-test.sh PASTRIX PASTRIXCTL" >&2
    exit 2
fi
pastrix_executable="$1"
ctl="$2"

work="$(mktemp -d "${TMPDIR:-/tmp}/pastrix-coolkeys.XXXXXX")"
program="${work}/program"
# shellcheck source=tests/x11/e2e/lib/session.sh
source "$(dirname "$0")/lib/session.sh"

# A program directory of its own with the Cool Keys in place before the program starts.
stage_program "${pastrix_executable}" "${ctl}" || exit 1
rm -f "${program}"/Default/ck_*.ckf
"${ctl}" config set "${program}/config.cfg" CC_Enabled true >/dev/null || exit 1
add() { "${ctl}" coolkeys add "${program}/Default" "$@" >/dev/null || fail "cannot add $1"; }
add ';ab' 'xbxbx'
add ';kq' 'q1q2q3'
add ';sig' 'Jürgen Müller'
printf 'Dear Jo,\nthanks.\n\nRegards\n' >"${work}/letter.txt"
add ';let' --file "${work}/letter.txt"

# The editor's whole text through the ordinary copy keys (A and C are filter keys).
editor_text() {
    xdotool key ctrl+a ctrl+c
    sleep 0.4
    xclip -selection clipboard -o 2>/dev/null
}

# Types the abbreviation, its last key tapped (as xdotool types) or held for a while.
type_tapped() { xdotool type --delay 60 "$1"; }
type_held() {
    xdotool type --delay 60 "${1%?}"
    xdotool keydown "${1: -1}"
    sleep 0.3
    xdotool keyup "${1: -1}"
}

session() {
    local layout="$1"
    setxkbmap "${layout}" || {
        fail "no ${layout} layout"
        return
    }
    (cd "${program}" && exec ./"$(basename "${pastrix_executable}")") \
        >"${work}/pastrix-${layout}.log" 2>&1 &
    local pastrix_pid=$!
    started+=("${pastrix_pid}")
    l3afpad >/dev/null 2>&1 &
    started+=("$!")
    local editor=""
    for _ in $(seq 1 100); do
        editor="$(xdotool search --onlyvisible --name '^\(Untitled\)$' 2>/dev/null | head -n 1)"
        [ -n "${editor}" ] && break
        sleep 0.1
    done
    if [ -z "${editor}" ]; then
        fail "${layout}: the editor did not open"
        stop_started
        return
    fi
    # The program's hooks come up with its window; then the editor goes in front.
    for _ in $(seq 1 100); do
        xdotool search --onlyvisible --name 'Pastrix$' >/dev/null 2>&1 && break
        sleep 0.1
    done
    sleep 1
    xdotool windowactivate --sync "${editor}"
    sleep 0.3

    type_tapped ';ab'
    xdotool key Return
    type_held ';ab'
    xdotool key Return
    type_tapped ';kq'
    xdotool key Return
    type_held ';kq'
    xdotool key Return
    type_held ';sig'
    xdotool key Return
    type_tapped ';let'
    sleep 1
    local expected
    expected="$(printf 'xbxbx\nxbxbx\nq1q2q3\nq1q2q3\nJürgen Müller\nDear Jo,\nthanks.\n\nRegards\n')"
    local text
    text="$(editor_text)"
    [ "${text}" = "${expected}" ] || fail "${layout}: the editor holds '${text}', not '${expected}'"
    kill -0 "${pastrix_pid}" 2>/dev/null ||
        fail "${layout}: pastrix ended: $(cat "${work}/pastrix-${layout}.log")"
    stop_started
}

session us
session de
if [ "${failures}" -ne 0 ]; then
    exit 1
fi
echo "Cool Keys typed every expansion whole on both layouts"
exit 0
