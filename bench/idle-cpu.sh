#!/usr/bin/env bash
# Measures the processor time the program takes while nobody uses it: starts it minimised on
# a private X session (scripts/xsession) with a copy of its program directory, lets it settle,
# then sums the processor time of all its threads over the measured span.
#
#   bench/idle-cpu.sh PASTRIX [SECONDS]
#
# PASTRIX is the built program (build/release/program/pastrix); SECONDS defaults to 60.
# Prints the share of one core; the target is at most 0.05 %.
set -uo pipefail

if [ "$#" -lt 1 ] || [ "$#" -gt 2 ]; then
    echo "usage: bench/idle-cpu.sh PASTRIX [SECONDS]" >&2
    exit 2
fi
if [ -z "${PASTRIX_IDLE_IN_SESSION:-}" ]; then
    export PASTRIX_IDLE_IN_SESSION=1
    exec "$(dirname "$0")/../scripts/xsession" "$0" "$@"
fi
pastrix_built="$(realpath "$1")"
seconds="${2:-60}"
settle=5

work="$(mktemp -d "${TMPDIR:-/tmp}/pastrix-idle.XXXXXX")"
program="${work}/program"
cp -r "$(dirname "${pastrix_built}")" "${program}"
mkdir -p "${program}/Default"
pid=""
finish() {
    if [ -n "${pid}" ]; then
        kill "${pid}" 2>/dev/null
        wait "${pid}" 2>/dev/null
    fi
    rm -rf "${work}"
}
trap finish EXIT

(cd "${program}" && exec ./pastrix -minimized) >"${work}/pastrix.log" 2>&1 &
pid=$!

# The processor time of the process, all threads together, in clock ticks (user + system).
cpu_ticks() {
    local fields
    read -r -a fields <"/proc/${pid}/stat"
    # The command name in field 2 has no spaces here ("pastrix"), so fields count from 1.
    echo $((fields[13] + fields[14]))
}
ticks_per_second=$(getconf CLK_TCK)

sleep "${settle}"
if ! kill -0 "${pid}" 2>/dev/null; then
    echo "the program did not keep running:" >&2
    sed 's/^/pastrix: /' "${work}/pastrix.log" >&2
    exit 1
fi
threads=$(ls /proc/"${pid}"/task | wc -l)
start_cpu=$(cpu_ticks)
start_time=$(date +%s%N)
sleep "${seconds}"
end_cpu=$(cpu_ticks)
end_time=$(date +%s%N)
if ! kill -0 "${pid}" 2>/dev/null; then
    echo "the program ended during the measurement" >&2
    exit 1
fi
awk -v ticks=$((end_cpu - start_cpu)) -v hz="${ticks_per_second}" \
    -v wall=$((end_time - start_time)) -v threads="${threads}" \
    'BEGIN { cpu = ticks / hz; seconds = wall / 1e9;
             printf "idle: %d ticks (%.0f ms) of processor time in %.1f s = %.3f %% of a core (%d threads)\n",
                    ticks, cpu * 1000, seconds, 100 * cpu / seconds, threads }'
