# Waiting for what a step of a desktop script expects. A loaded machine is slow, and only a
# result that never comes fails: each wait gives up after ${bound_s} seconds.
bound_s=60
tries=$((bound_s * 10))

# Runs the command every 0.1 s until it succeeds.
wait_until() {
    for _ in $(seq 1 "${tries}"); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# Runs the command every 0.1 s until it prints something, and prints that.
wait_output() {
    local output
    for _ in $(seq 1 "${tries}"); do
        output="$("$@")"
        if [ -n "${output}" ]; then
            echo "${output}"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

first_window_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }

# Waits until a visible window's title matches (a regular expression) and prints its id.
wait_window() { wait_output first_window_named "$1"; }

# Waits until no visible window's title matches.
wait_gone() {
    for _ in $(seq 1 "${tries}"); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}
