#!/bin/bash
# Starts Pastrix for the current user; installed as the command "pastrix". Arguments are passed
# on (for example -minimized).
#
# The program keeps its settings ("config.cfg") and workspaces in its program directory, which
# must be the user's own: $PASTRIX_HOME, by default ${XDG_DATA_HOME:-~/.local/share}/pastrix.
# The first start stages it from the installed program directory; each start refreshes the
# executable, the hook library and the manual there and keeps the settings and workspaces.
#
# PASTRIX_LIB_DIR names the installed program directory, by default ../lib/pastrix beside this
# command (/usr/lib/pastrix for /usr/bin/pastrix).
set -euo pipefail

library="${PASTRIX_LIB_DIR:-$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../lib/pastrix}"
home="${PASTRIX_HOME:-${XDG_DATA_HOME:-${HOME}/.local/share}/pastrix}"

if [ ! -x "${library}/pastrix" ]; then
    echo "pastrix: no program in ${library} (set PASTRIX_LIB_DIR to the program directory)" >&2
    exit 1
fi

mkdir -p "${home}"
install -m 755 "${library}/pastrix" "${home}/pastrix"
install -m 644 "${library}/clipboard.so" "${home}/clipboard.so"
install -m 644 "${library}/manual.html" "${home}/manual.html"
if [ ! -e "${home}/config.cfg" ]; then
    install -m 644 "${library}/config.cfg" "${home}/config.cfg"
    mkdir -p "${home}/Default"
fi

exec "${home}/pastrix" "$@"
