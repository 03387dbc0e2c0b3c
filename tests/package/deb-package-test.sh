#!/usr/bin/env bash
# The Debian package end to end, without installing it: builds it with its CMake target, runs
# lintian on it (any error fails), unpacks it into a temporary root and checks what it holds,
# then runs its command pastrix against a temporary home: the first start stages the user's
# program directory, a second one refreshes the program and keeps the user's settings and
# workspaces.
#
#   deb-package-test.sh --cmake CMAKE --build DIR --deb FILE --version X.Y.Z
#                       --launcher FILE --program-dir DIR
#
# --launcher is the command's source (resources/launcher.sh); --program-dir the build's
# program directory the package was made from.
set -uo pipefail

cmake="" build="" deb="" version="" launcher="" built=""
while [ "$#" -gt 0 ]; do
    case "$1" in
        --cmake) cmake="$2"; shift 2 ;;
        --build) build="$2"; shift 2 ;;
        --deb) deb="$2"; shift 2 ;;
        --version) version="$2"; shift 2 ;;
        --launcher) launcher="$2"; shift 2 ;;
        --program-dir) built="$2"; shift 2 ;;
        *) echo "deb package test: unknown argument $1" >&2; exit 2 ;;
    esac
done
if [ -z "${cmake}" ] || [ -z "${build}" ] || [ -z "${deb}" ] || [ -z "${version}" ] ||
    [ -z "${launcher}" ] || [ -z "${built}" ]; then
    echo "usage: deb-package-test.sh --cmake CMAKE --build DIR --deb FILE --version X.Y.Z" \
        "--launcher FILE --program-dir DIR" >&2
    exit 2
fi

current_step="starting"
step() {
    current_step="$*"
    echo "== ${current_step}"
}
fail() {
    echo "deb package test: FAILED in \"${current_step}\": $*" >&2
    exit 1
}
same_file() {
    [ -f "$2" ] || fail "$2 is missing"
    cmp -s "$1" "$2" || fail "$2 differs from $1"
}
mode_of() {
    stat -c %a "$1"
}

work="$(mktemp -d "${TMPDIR:-/tmp}/pastrix-deb-test.XXXXXX")"
trap 'rm -rf "${work}"' EXIT
trap 'exit 130' INT TERM

step "making the package with its build target"
# A package left by an earlier build must not pass for a new one.
rm -f "${deb}"
"${cmake}" --build "${build}" --target pastrix_deb >"${work}/build.log" 2>&1 ||
    { cat "${work}/build.log" >&2; fail "the target pastrix_deb failed"; }
[ -f "${deb}" ] || fail "the target made no ${deb}"

step "the control fields"
info="$(dpkg-deb -I "${deb}")" || fail "dpkg-deb -I cannot read the package"
printf '%s\n' "${info}"
field() {
    dpkg-deb -f "${deb}" "$1"
}
[ "$(field Package)" = "pastrix" ] || fail "the package is called '$(field Package)'"
[ "$(field Version)" = "${version}" ] || fail "the package's version is '$(field Version)'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] ||
    fail "the package is for '$(field Architecture)'"
depends="$(field Depends)"
depended="$(printf '%s\n' "${depends}" | tr ',' '\n' | sed 's/^ *//; s/ .*//')"
# What dpkg-shlibdeps finds in the program, the hook library and pastrixctl.
for library in libc6 libstdc++6 libqt6widgets6 libx11-6 libxi6 libxtst6 libxft2; do
    printf '%s\n' "${depended}" | grep -q -x -F "${library}" ||
        fail "Depends names no ${library}: ${depends}"
done

step "no maintainer script that could touch the users' homes"
dpkg-deb -e "${deb}" "${work}/control" || fail "dpkg-deb -e cannot unpack the control files"
for script in preinst postinst prerm postrm config; do
    [ ! -e "${work}/control/${script}" ] || fail "the package has a ${script} script"
done
# Removing the package removes its files, and those are all in /usr.
contents="$(dpkg-deb -c "${deb}")" || fail "dpkg-deb -c cannot list the package"
outside="$(printf '%s\n' "${contents}" | awk '{print $6}' | grep -v -E '^\./(usr/.*)?$')"
[ -z "${outside}" ] || fail "the package has files outside /usr: ${outside}"
owners="$(printf '%s\n' "${contents}" | awk '{print $2}' | sort -u)"
[ "${owners}" = "root/root" ] || fail "the package's files belong to ${owners}, not root/root"

step "lintian"
lintian --display-info --tag-display-limit 0 "${deb}" >"${work}/lintian.log" 2>&1
lintian_status=$?
cat "${work}/lintian.log"
grep -q '^E: ' "${work}/lintian.log" && fail "lintian reports errors"
[ "${lintian_status}" -eq 0 ] || fail "lintian ended with status ${lintian_status}"

step "unpacking into a temporary root"
root="${work}/root"
dpkg-deb -x "${deb}" "${root}" || fail "dpkg-deb -x failed"
lib="${root}/usr/lib/pastrix"

step "the program directory"
for file in pastrix pastrixctl; do
    [ -f "${lib}/${file}" ] || fail "${lib}/${file} is missing"
    [ "$(mode_of "${lib}/${file}")" = 755 ] || fail "${file} has mode $(mode_of "${lib}/${file}")"
done
for file in clipboard.so config.cfg manual.html; do
    [ -f "${lib}/${file}" ] || fail "${lib}/${file} is missing"
done
same_file "${built}/config.cfg" "${lib}/config.cfg"
same_file "${built}/manual.html" "${lib}/manual.html"
[ -d "${lib}/Default" ] || fail "the starter workspace Default is missing"

step "the commands on the PATH"
same_file "${launcher}" "${root}/usr/bin/pastrix"
[ "$(mode_of "${root}/usr/bin/pastrix")" = 755 ] || fail "/usr/bin/pastrix is not executable"
[ "$(readlink "${root}/usr/bin/pastrixctl")" = "../lib/pastrix/pastrixctl" ] ||
    fail "/usr/bin/pastrixctl is no relative link to the program directory's pastrixctl"
help="$("${root}/usr/bin/pastrixctl" --help)" || fail "pastrixctl --help failed"
printf '%s\n' "${help}" | grep -q '^usage: pastrixctl ' || fail "pastrixctl --help says: ${help}"
workspace="$("${root}/usr/bin/pastrixctl" config get "${lib}/config.cfg" SYSTEM_ActiveWorkspace)" ||
    fail "pastrixctl cannot read the shipped settings"
[ "${workspace}" = "Default" ] || fail "the shipped settings name the workspace '${workspace}'"

step "the desktop entry, the icon, the manual pages and the documentation"
entry="${root}/usr/share/applications/pastrix.desktop"
[ -f "${entry}" ] || fail "the desktop entry is missing"
[ "$(grep '^Exec=' "${entry}")" = "Exec=pastrix" ] ||
    fail "the desktop entry says $(grep '^Exec=' "${entry}"), not Exec=pastrix"
grep -q '^Icon=pastrix$' "${entry}" || fail "the desktop entry names another icon"
[ -f "${root}/usr/share/icons/hicolor/scalable/apps/pastrix.svg" ] || fail "the icon is missing"
for page in pastrix pastrixctl; do
    zcat "${root}/usr/share/man/man1/${page}.1.gz" | grep -q "^\.TH ${page^^} 1 " ||
        fail "the manual page ${page}.1.gz is missing or no manual page"
done
[ -f "${root}/usr/share/doc/pastrix/copyright" ] || fail "the copyright file is missing"
zcat "${root}/usr/share/doc/pastrix/changelog.gz" | head -n 1 |
    grep -q -F "pastrix (${version}) " || fail "the changelog's newest entry is not ${version}"

# The command as a user starts it, with a home of its own and nothing else of the caller's.
run_pastrix() {
    env -i PATH="/usr/bin:/bin" HOME="${home}" XDG_SESSION_TYPE=x11 "$@"
}

step "the first start stages the user's program directory"
home="${work}/home"
mkdir -p "${home}"
staged="${home}/.local/share/pastrix"
# Without a display the program says so and ends: it was started from the staged copy.
output="$(run_pastrix "${root}/usr/bin/pastrix" -minimized 2>&1)"
status=$?
[ "${status}" -eq 1 ] || fail "the program ended with status ${status}: ${output}"
printf '%s\n' "${output}" | grep -q "cannot open the X display" ||
    fail "the program did not say that it has no display: ${output}"
for file in pastrix clipboard.so manual.html config.cfg; do
    same_file "${lib}/${file}" "${staged}/${file}"
done
[ "$(mode_of "${staged}/pastrix")" = 755 ] || fail "the staged program has mode $(mode_of "${staged}/pastrix")"
[ "$(mode_of "${staged}/config.cfg")" = 644 ] || fail "the staged settings have mode $(mode_of "${staged}/config.cfg")"
[ -d "${staged}/Default" ] || fail "the starter workspace Default was not made"
[ -z "$(ls -A "${staged}/Default")" ] || fail "the starter workspace Default is not empty"

step "a second start keeps the user's settings and workspaces"
"${root}/usr/bin/pastrixctl" config set "${staged}/config.cfg" SYSTEM_ActiveWorkspace Work \
    >/dev/null || fail "pastrixctl could not change the staged settings"
cmp -s "${lib}/config.cfg" "${staged}/config.cfg" && fail "pastrixctl left the settings as shipped"
mkdir -p "${staged}/Work"
printf 'slot A of the user\n' >"${staged}/Work/px_65.pxf"
printf 'a Cool Key of the user\n' >"${staged}/Default/ck_sig.ckf"
cp -a "${staged}/config.cfg" "${staged}/Work" "${staged}/Default" "${work}/" ||
    fail "cannot keep a copy of the user's files"
# What an older package left behind.
printf 'an older manual\n' >"${staged}/manual.html"
printf 'an older hook library\n' >"${staged}/clipboard.so"
run_pastrix "${root}/usr/bin/pastrix" >/dev/null 2>&1
same_file "${work}/config.cfg" "${staged}/config.cfg"
same_file "${work}/Work/px_65.pxf" "${staged}/Work/px_65.pxf"
same_file "${work}/Default/ck_sig.ckf" "${staged}/Default/ck_sig.ckf"
for file in pastrix clipboard.so manual.html; do
    same_file "${lib}/${file}" "${staged}/${file}"
done
[ "$(run_pastrix "${root}/usr/bin/pastrixctl" config get "${staged}/config.cfg" \
    SYSTEM_ActiveWorkspace)" = "Work" ] || fail "the user's active workspace was not kept"

# A program directory whose program says how it was started, so that the command's own part
# can be seen: which copy it runs, with which arguments.
fake="${work}/fake-lib"
cp -a "${lib}" "${fake}" || fail "cannot copy the program directory"
# shellcheck disable=SC2016 # the fake program's own variables
printf '#!/bin/sh\nprintf "%%s\\n" "$0" "$@"\n' >"${fake}/pastrix"
chmod 755 "${fake}/pastrix"

step "PASTRIX_LIB_DIR and the arguments"
home="${work}/home-fake"
mkdir -p "${home}"
output="$(run_pastrix PASTRIX_LIB_DIR="${fake}" "${root}/usr/bin/pastrix" -minimized 'two words')" ||
    fail "the command failed: ${output}"
expected="$(printf '%s\n' "${home}/.local/share/pastrix/pastrix" -minimized 'two words')"
[ "${output}" = "${expected}" ] || fail "the command ran '${output}', expected '${expected}'"

step "XDG_DATA_HOME and PASTRIX_HOME choose the user's program directory"
output="$(run_pastrix PASTRIX_LIB_DIR="${fake}" XDG_DATA_HOME="${work}/data" \
    "${root}/usr/bin/pastrix")" || fail "the command failed: ${output}"
[ "${output}" = "${work}/data/pastrix/pastrix" ] || fail "with XDG_DATA_HOME it ran '${output}'"
same_file "${lib}/config.cfg" "${work}/data/pastrix/config.cfg"
output="$(run_pastrix PASTRIX_LIB_DIR="${fake}" XDG_DATA_HOME="${work}/data" \
    PASTRIX_HOME="${work}/own" "${root}/usr/bin/pastrix")" || fail "the command failed: ${output}"
[ "${output}" = "${work}/own/pastrix" ] || fail "with PASTRIX_HOME it ran '${output}'"
[ -d "${work}/own/Default" ] || fail "PASTRIX_HOME got no starter workspace"

step "a missing program directory is named, and nothing is staged"
home="${work}/home-missing"
mkdir -p "${home}"
output="$(run_pastrix PASTRIX_LIB_DIR="${work}/nowhere" "${root}/usr/bin/pastrix" 2>&1)" &&
    fail "the command succeeded without a program directory"
printf '%s\n' "${output}" | grep -q -F "${work}/nowhere" ||
    fail "the command did not name the missing directory: ${output}"
[ ! -e "${home}/.local" ] || fail "the command staged something without a program directory"

echo "deb package test: passed"
