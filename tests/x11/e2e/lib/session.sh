# What the desktop scripts share. Source it once the script's private folder ${work} exists:
# the processes the script starts go into ${started}; when the script ends they are stopped in
# reverse order and ${work} is removed. fail() records a failure and goes on; ${failures}
# counts them.
started=()
failures=0

stop_started() {
    local i pid
    for ((i = ${#started[@]} - 1; i >= 0; i--)); do
        pid="${started[$i]}"
        kill "${pid}" 2>/dev/null
        wait "${pid}" 2>/dev/null
    done
    started=()
}
end_session() {
    stop_started
    rm -rf "${work}"
}
trap end_session EXIT
trap 'exit 130' INT TERM

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

now_us() { echo "${EPOCHREALTIME/./}"; }

# A program directory of the script's own in ${program}, copied from the built program's ($1),
# so that the test never touches the built one; the newsletter question is switched off with
# pastrixctl ($2).
stage_program() {
    cp -a "$(dirname "$1")" "${program}" &&
        "$2" config set "${program}/config.cfg" util.newsletter.SimpleSignUp.askForEmailAddress \
            false >/dev/null
}
