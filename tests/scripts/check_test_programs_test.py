"""The scan of scripts/check-test-programs: what it takes for a program and what it leaves."""

import importlib.machinery
import importlib.util
import sys
import unittest
from pathlib import Path

SCRIPT = Path(__file__).resolve().parents[2] / "scripts" / "check-test-programs"
loader = importlib.machinery.SourceFileLoader("check_test_programs", str(SCRIPT))
module_spec = importlib.util.spec_from_loader(loader.name, loader)
checker = importlib.util.module_from_spec(module_spec)
loader.exec_module(checker)


def names(found):
    return sorted({name for _, name in found})


class ShellScanTest(unittest.TestCase):
    def test_commands_in_every_position_are_found(self):
        script = """#!/usr/bin/env bash
xdotool key ctrl+a | xclip -i && trayer --edge bottom & sleep 1
if grep -q x file; then import -window root shot.png; fi
while ! xprop -root; do :; done
value="$(xsel -o | tr -d x)"
nice convert a b
exec Xvfb :1
"""
        self.assertEqual(names(checker.shell_commands(script)),
                         ["Xvfb", "convert", "grep", "import", "sleep", "tr", "trayer", "xclip",
                          "xdotool", "xprop", "xsel"])

    def test_words_that_are_not_programs_are_left(self):
        script = """#!/usr/bin/env bash
# A comment naming fakeprogram, and an apostrophe's quote
started=()
started+=("${pid}")
count=$((count + 1))
for word in alpha beta; do echo "${word}"; done
case "$1" in
    start) echo go ;;
    stop|halt) echo no ;;
esac
case "$2" in
    a | b)
        echo a
        ;;
esac
helper() { local since="$1"; echo "${since}"; }
helper "$(helper inner)"
"${built}/pastrix" -minimized
scripts/check-format
text="two
lines with words"
"""
        self.assertEqual(names(checker.shell_commands(script)), [])

    def test_a_command_after_an_array_is_found(self):
        script = 'started=()\nstarted+=("${pid}")\n(cd x && exec xterm -e bash) &\n'
        self.assertEqual(names(checker.shell_commands(script)), ["xterm"])

    def test_a_command_after_a_case_is_found(self):
        script = 'case "$1" in\n    a) echo a\n        ;;\nesac\nperf stat -- sleep 1\n'
        self.assertEqual(names(checker.shell_commands(script)), ["perf"])

    def test_nested_quotes_in_substitutions_and_lines_are_reported(self):
        script = 'a=1\nid="$(xdotool search --name "^(Untitled)$" | head -n 1)"\n'
        self.assertEqual(sorted(checker.shell_commands(script)), [(2, "head"), (2, "xdotool")])

    def test_functions_of_the_shared_library_are_not_programs(self):
        self.assertEqual(names(checker.shell_commands("ensure_packages cmake\n",
                                                      frozenset({"ensure_packages"}))), [])


class CppScanTest(unittest.TestCase):
    def test_command_lines_and_argument_vectors_are_found(self):
        source = """
    run("setxkbmap us");
    FILE* pipe = popen("xclip -o -selection clipboard", "r");
    ASSERT_EQ(run({"xdotool", "mousemove", "300"}).status, 0);
    peer_ = std::make_unique<Peer>(std::vector<std::string>{"l3afpad", file_});
    Peer editor({"xterm", "-e"});
    EXPECT_EQ(types, (std::vector<std::string>{"Html"}));
    EXPECT_TRUE(shown) << "l3afpad did not show";
"""
        self.assertEqual(names(checker.cpp_commands(source)),
                         ["l3afpad", "setxkbmap", "xclip", "xdotool", "xterm"])


if __name__ == "__main__":
    sys.exit(unittest.main())
