#!/usr/bin/env bash
# Measures the processor time the program takes while nobody uses it: starts it on a private
# X session (scripts/xsession) with a copy of its program directory and the newsletter offer
# switched off, so that its settings sheet is open and the tooltip thread runs, lets it
# settle, then counts the processor time of all its threads over the measured span.
#
#   bench/idle-cpu.sh PASTRIX PASTRIXCTL [SECONDS]
#
# PASTRIX is the built program (build/release/program/pastrix), PASTRIXCTL the matching
# pastrixctl (build/release/tools/pastrixctl/pastrixctl); SECONDS defaults to 60.
# Prints the share of one core (the target is at most 0.05 %) and the wake-ups per second.
# Needs perf (linux-perf).
set -uo pipefail

if [ "$#" -lt 2 ] || [ "$#" -gt 3 ]; then
    echo "usage: bench/idle-cpu.sh PASTRIX PASTRIXCTL [SECONDS]" >&2
    exit 2
fi
if [ -z "${PASTRIX_IDLE_IN_SESSION:-}" ]; then
    export PASTRIX_IDLE_IN_SESSION=1
    exec "$(dirname "$0")/../scripts/xsession" "$0" "$@"
fi
pastrix_built="$(realpath "$1")"
ctl="$(realpath "$2")"
seconds="${3:-60}"
settle=5

work="$(mktemp -d "${TMPDIR:-/tmp}/pastrix-idle.XXXXXX")"
program="${work}/program"
cp -r "$(dirname "${pastrix_built}")" "${program}"
mkdir -p "${program}/Default"
"${ctl}" config set "${program}/config.cfg" util.newsletter.SimpleSignUp.askForEmailAddress \
    false >/dev/null || { echo "cannot switch the newsletter offer off" >&2; exit 1; }
pid=""
finish() {
    if [ -n "${pid}" ]; then
        kill "${pid}" 2>/dev/null
        wait "${pid}" 2>/dev/null
    fi
    rm -rf "${work}"
}
trap finish EXIT

(cd "${program}" && exec ./pastrix) >"${work}/pastrix.log" 2>&1 &
pid=$!

# Wake-ups of all threads: each time a thread slept and was woken, or was put aside.
switches() {
    local total=0 task value
    for task in /proc/"${pid}"/task/*; do
        while read -r name value; do
            case "${name}" in
                voluntary_ctxt_switches: | nonvoluntary_ctxt_switches:)
                    total=$((total + value))
                    ;;
            esac
        done <"${task}/status"
    done
    echo "${total}"
}

sleep "${settle}"
if ! kill -0 "${pid}" 2>/dev/null; then
    echo "the program did not keep running:" >&2
    sed 's/^/pastrix: /' "${work}/pastrix.log" >&2
    exit 1
fi
threads=$(ls /proc/"${pid}"/task | wc -l)
start_switches=$(switches)
# perf counts the processor time of every thread of the process (task-clock, scheduler
# time), which the tick counts of /proc miss on some virtual machines.
perf stat -x, -e task-clock -p "${pid}" -o "${work}/perf.csv" -- sleep "${seconds}"
end_switches=$(switches)
if ! kill -0 "${pid}" 2>/dev/null; then
    echo "the program ended during the measurement" >&2
    exit 1
fi
milliseconds=$(awk -F, '$3 == "task-clock" || $3 ~ /task-clock/ { print $1 }' "${work}/perf.csv")
awk -v ms="${milliseconds}" -v seconds="${seconds}" -v threads="${threads}" \
    -v wakes=$((end_switches - start_switches)) \
    'BEGIN { printf "idle: %.2f ms of processor time in %d s = %.4f %% of a core; %.1f wake-ups per second (%d threads)\n",
                    ms, seconds, 100 * ms / 1000 / seconds, wakes / seconds, threads }'
