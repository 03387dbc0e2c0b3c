#!/usr/bin/env bash
# Times copies into a slot and pastes out of it through the X11 clipboard, with xclip as the
# other client, in a private X session; prints one line per size and direction.
#
#   bench/x11-clipboard.sh [BUILD_DIR] [SIZE_MB...]     (defaults: build/dev, 1 5 50)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-${here}/../build/dev}"
shift || true
sizes=("$@")
[ "${#sizes[@]}" -gt 0 ] || sizes=(1 5 50)
program="${build}/bench/pastrix_x11_clipboard_bench"
if [ ! -x "${program}" ]; then
    echo "build the target pastrix_x11_clipboard_bench first (${program} is missing)" >&2
    exit 2
fi
exec "${here}/../scripts/xsession" "${program}" "${sizes[@]}"
