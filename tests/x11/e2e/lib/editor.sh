# shellcheck shell=bash disable=SC2154
# What the desktop scripts ask of the editor they type into and of the clipboard. The script
# sets editor_window (the editor's X window) and, for Mousepad, note (the file it holds).

editor_title() { xdotool getwindowname "${editor_window}" 2>/dev/null; }
clipboard_holds() { [ "$(xclip -o -selection clipboard 2>/dev/null)" = "$1" ]; }
# Mousepad names the file it holds, with a leading "*" while changes are unsaved.
mousepad_saved() { [ "$(editor_title)" = "${note} - Mousepad" ]; }
