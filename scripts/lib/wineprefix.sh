# shellcheck shell=bash
# A private Wine prefix with its own wineserver, for a script that must not disturb the prefix
# of the session it runs in (scripts/winesession). Source it, then:
#
#   pastrix_wineprefix_start DIRECTORY    exports WINEPREFIX and friends, starts the server and
#                                         makes the prefix the first time (about 15 s)
#   pastrix_wineprefix_stop               ends that server and waits for it
#
# The prefix is made the way scripts/winesession makes its own: no Mono or Gecko installer is
# asked for, and a crash ends with an exit code instead of winedbg's dialog. Wine's menu
# builder is switched off too, so shortcuts made inside the prefix never reach the desktop
# menus of the user running the tests.

pastrix_wineprefix_start() {
    mkdir -p "$1" || return 1
    WINEPREFIX="$(cd "$1" && pwd)"
    export WINEPREFIX
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    export WINEDEBUG="${WINEDEBUG:--all}"
    export WINEARCH=win64

    # A persistent server: without it every program start waits for the last one's server.
    wineserver -p || return 1
    if [ ! -f "${WINEPREFIX}/.pastrix-ready" ]; then
        if ! wine wineboot -i </dev/null >"${WINEPREFIX}/wineboot.log" 2>&1; then
            echo "wineprefix: wineboot could not make the prefix ${WINEPREFIX}:" >&2
            cat "${WINEPREFIX}/wineboot.log" >&2
            return 1
        fi
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger \
            /t REG_SZ /d '' /f </dev/null >/dev/null 2>&1
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto \
            /t REG_SZ /d '0' /f </dev/null >/dev/null 2>&1
        # The server that made the prefix is slow for every program that opens a window (see
        # scripts/winesession); later work gets a fresh one.
        wineserver -k
        wineserver -w
        touch "${WINEPREFIX}/.pastrix-ready"
        wineserver -p || return 1
    fi
    wine wineboot </dev/null >/dev/null 2>&1
}

pastrix_wineprefix_stop() {
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
}
