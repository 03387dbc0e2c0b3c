#!/usr/bin/env bash
# The Windows setup program end to end, silently, in a Wine prefix of its own: a fresh
# installation, upgrades that must keep the user's settings and workspaces, the start-at-logon
# choice, a refused foreign directory, and the two ways to uninstall (keeping the user's data,
# and deleting it).
#
#   installer-test.sh --setup SETUP.exe --stage DIR --version X.Y.Z --prefix DIR [--with-program]
#
# --stage is the program directory the setup program was made from; --with-program says that
# it ships pastrix.exe. Exits 77 (skipped) when called with --no-installer.
set -uo pipefail

setup="" stage="" version="" prefix="" with_program=0
while [ "$#" -gt 0 ]; do
    case "$1" in
        --setup) setup="$2"; shift 2 ;;
        --stage) stage="$2"; shift 2 ;;
        --version) version="$2"; shift 2 ;;
        --prefix) prefix="$2"; shift 2 ;;
        --with-program) with_program=1; shift ;;
        --no-installer)
            echo "installer test: skipped, the build makes no installer (PASTRIX_WINDOWS_INSTALLER is OFF)"
            exit 77 ;;
        *) echo "installer test: unknown argument $1" >&2; exit 2 ;;
    esac
done
if [ -z "${setup}" ] || [ -z "${stage}" ] || [ -z "${version}" ] || [ -z "${prefix}" ]; then
    echo "usage: installer-test.sh --setup SETUP.exe --stage DIR --version X.Y.Z --prefix DIR" \
        "[--with-program]" >&2
    exit 2
fi
[ -f "${setup}" ] || { echo "installer test: FAILED: no setup program at ${setup}" >&2; exit 1; }

# shellcheck source-path=SCRIPTDIR/../../../scripts/lib source=wineprefix.sh
. "$(dirname "$0")/../../../scripts/lib/wineprefix.sh"

current_step="starting"
step() {
    current_step="$*"
    echo "== ${current_step}"
}
fail() {
    echo "installer test: FAILED in \"${current_step}\": $*" >&2
    exit 1
}

if ! pastrix_wineprefix_start "${prefix}"; then
    echo "installer test: FAILED: the private Wine prefix ${prefix} could not be made" >&2
    exit 1
fi
trap pastrix_wineprefix_stop EXIT
trap 'exit 130' INT TERM

# A Windows environment variable of the prefix's user.
windows_variable() {
    wine cmd /c echo "%$1%" </dev/null 2>/dev/null | tr -d '\r'
}
unix_path() {
    wine winepath -u "$1" </dev/null 2>/dev/null | tr -d '\r' | sed 's:/$::'
}
# The data of one registry value, or nothing (and status 1) when it is not there.
registry_value() {
    local output
    output="$(wine reg query "$1" /v "$2" </dev/null 2>/dev/null | tr -d '\r')" || return 1
    printf '%s\n' "${output}" | sed -n "s/^ *$2    REG_[A-Z_]*    //p" | grep . || return 1
}
expect_value() {
    local actual
    actual="$(registry_value "$1" "$2")" || fail "registry value $1\\$2 is missing"
    [ "${actual}" = "$3" ] || fail "registry value $1\\$2 is '${actual}', expected '$3'"
}
expect_no_value() {
    local actual
    if actual="$(registry_value "$1" "$2")"; then
        fail "registry value $1\\$2 should be gone, but it is '${actual}'"
    fi
}
expect_no_key() {
    if wine reg query "$1" </dev/null >/dev/null 2>&1; then
        fail "registry key $1 should be gone"
    fi
}
same_file() {
    [ -f "$2" ] || fail "$2 is missing"
    cmake -E compare_files "$1" "$2" || fail "$2 differs from $1"
}
# Runs the setup program silently with the given options and expects the given exit status.
run_setup() {
    local expected="$1" status
    shift
    timeout 90 wine "${setup}" /S "$@" </dev/null >/dev/null 2>&1
    status=$?
    [ "${status}" -eq "${expected}" ] ||
        fail "setup /S $* ended with status ${status}, expected ${expected}"
}
pastrixctl_get() {
    wine "${install_dir}/pastrixctl.exe" config get "${windows_dir}\\config.cfg" "$1" \
        </dev/null 2>&1 | tr -d '\r'
}

step "finding the prefix's user folders"
local_appdata="$(windows_variable LOCALAPPDATA)"
appdata="$(windows_variable APPDATA)"
if [ -z "${local_appdata}" ] || [ "${local_appdata}" = "%LOCALAPPDATA%" ]; then
    fail "Wine gave no LOCALAPPDATA"
fi
windows_dir="${local_appdata}\\Programs\\Pastrix"
install_dir="$(unix_path "${windows_dir}")"
shortcut="$(unix_path "${appdata}\\Microsoft\\Windows\\Start Menu\\Programs")/Pastrix.lnk"
foreign_windows_dir="${local_appdata}\\NotPastrix"
foreign_dir="$(unix_path "${foreign_windows_dir}")"
if [ -z "${install_dir}" ] || [ "${install_dir}" = "/" ]; then
    fail "winepath gave no Unix path for ${windows_dir}"
fi
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pastrix'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
# What the System page writes and then recognises, byte for byte.
start_command="\"${windows_dir}\\pastrix.exe\" -minimized"

program_files=(clipboard.dll pastrixctl.exe manual.html)
if [ "${with_program}" -eq 1 ]; then
    program_files+=(pastrix.exe)
fi

expect_program_installed() {
    local file
    for file in "${program_files[@]}"; do
        same_file "${stage}/${file}" "${install_dir}/${file}"
    done
    [ -f "${install_dir}/Uninstall.exe" ] || fail "Uninstall.exe is missing"
    [ -f "${shortcut}" ] || fail "the Start-menu shortcut ${shortcut} is missing"
    expect_value "${uninstall_key}" DisplayName "Pastrix"
    expect_value "${uninstall_key}" DisplayVersion "${version}"
    expect_value "${uninstall_key}" InstallLocation "${windows_dir}"
    expect_value "${uninstall_key}" UninstallString "\"${windows_dir}\\Uninstall.exe\""
    expect_value "${uninstall_key}" NoModify "0x1"
    expect_value "${uninstall_key}" NoRepair "0x1"
    registry_value "${uninstall_key}" Publisher >/dev/null ||
        fail "the uninstall key has no Publisher"
}
expect_program_removed() {
    local file
    for file in "${program_files[@]}" pastrix.exe; do
        [ ! -e "${install_dir}/${file}" ] || fail "${file} is still installed"
    done
    [ ! -e "${shortcut}" ] || fail "the Start-menu shortcut is still there"
    expect_no_key "${uninstall_key}"
    expect_no_value "${run_key}" Pastrix
}

step "clearing what an earlier run left in the prefix"
rm -rf "${install_dir}" "${foreign_dir}" "${shortcut}"
wine reg delete "${uninstall_key}" /f </dev/null >/dev/null 2>&1
wine reg delete "${run_key}" /v Pastrix /f </dev/null >/dev/null 2>&1
kept="$(mktemp -d "${TMPDIR:-/tmp}/pastrix-installer-test.XXXXXX")"
trap 'pastrix_wineprefix_stop; rm -rf "${kept}"' EXIT

step "a fresh installation"
run_setup 0
expect_program_installed
same_file "${stage}/config.cfg" "${install_dir}/config.cfg"
[ -d "${install_dir}/Default" ] || fail "the starter workspace Default is missing"
[ -z "$(ls -A "${install_dir}/Default")" ] || fail "the starter workspace Default is not empty"
# The link keeps its target as plain text, in UTF-16 or in the ANSI code page.
tr -d '\0' <"${shortcut}" | grep -a -q -i -F "${windows_dir}\\pastrix.exe" ||
    fail "the Start-menu shortcut does not lead to ${windows_dir}\\pastrix.exe"
expect_no_value "${run_key}" Pastrix
[ "$(pastrixctl_get SYSTEM_StartAutomatically)" = "false" ] ||
    fail "the installed settings say start automatically: $(pastrixctl_get SYSTEM_StartAutomatically)"

step "an upgrade with start at logon keeps the user's settings and workspaces"
wine "${install_dir}/pastrixctl.exe" config set "${windows_dir}\\config.cfg" \
    SYSTEM_ActiveWorkspace Work </dev/null >/dev/null 2>&1 ||
    fail "pastrixctl could not change the installed settings"
cmake -E compare_files "${stage}/config.cfg" "${install_dir}/config.cfg" &&
    fail "pastrixctl left the settings as shipped"
mkdir -p "${install_dir}/Work"
printf 'slot A of the user\n' >"${install_dir}/Work/px_65.pxf"
printf 'a Cool Key of the user\n' >"${install_dir}/Default/ck_sig.ckf"
printf 'an older manual\n' >"${install_dir}/manual.html"
cp -a "${install_dir}/config.cfg" "${install_dir}/Work" "${install_dir}/Default" "${kept}/"
expect_kept_data() {
    same_file "${kept}/config.cfg" "${install_dir}/config.cfg"
    same_file "${kept}/Work/px_65.pxf" "${install_dir}/Work/px_65.pxf"
    same_file "${kept}/Default/ck_sig.ckf" "${install_dir}/Default/ck_sig.ckf"
}
run_setup 0 /AUTOSTART
expect_program_installed
expect_kept_data
expect_value "${run_key}" Pastrix "${start_command}"

step "an upgrade without options keeps start at logon"
run_setup 0
expect_kept_data
expect_value "${run_key}" Pastrix "${start_command}"

step "an upgrade with /NOAUTOSTART takes start at logon back"
run_setup 0 /NOAUTOSTART
expect_kept_data
expect_no_value "${run_key}" Pastrix

step "a directory holding other files is refused"
mkdir -p "${foreign_dir}"
printf 'not Pastrix\n' >"${foreign_dir}/notes.txt"
run_setup 4 "/D=${foreign_windows_dir}"
[ "$(ls -A "${foreign_dir}")" = "notes.txt" ] ||
    fail "setup wrote into the refused directory: $(ls -A "${foreign_dir}" | tr '\n' ' ')"
expect_value "${uninstall_key}" InstallLocation "${windows_dir}"

step "a silent uninstallation keeps the settings and workspaces"
# As the System page does when its box is checked.
wine reg add "${run_key}" /v Pastrix /t REG_SZ /d "${start_command}" /f </dev/null >/dev/null 2>&1
# _?= runs the uninstaller in place, so that wine waits for it; it cannot delete itself then.
timeout 90 wine "${install_dir}/Uninstall.exe" /S "_?=${windows_dir}" </dev/null >/dev/null 2>&1 ||
    fail "Uninstall.exe /S ended with status $?"
expect_program_removed
expect_kept_data
rm -f "${install_dir}/Uninstall.exe"

step "installing again finds the kept settings and workspaces"
run_setup 0
expect_program_installed
expect_kept_data

step "an uninstallation with /DELETEDATA deletes them too"
timeout 90 wine "${install_dir}/Uninstall.exe" /S /DELETEDATA </dev/null >/dev/null 2>&1 ||
    fail "Uninstall.exe /S /DELETEDATA ended with status $?"
# This time the uninstaller runs as a copy in the temporary folder and returns at once; the
# program directory goes last.
for _ in $(seq 1 300); do
    [ -e "${install_dir}" ] || break
    sleep 0.1
done
[ ! -e "${install_dir}" ] ||
    fail "the program directory is still there 30 s later: $(ls -A "${install_dir}" | tr '\n' ' ')"
expect_program_removed

step "a fresh installation with start at logon says so in its settings"
run_setup 0 /AUTOSTART
expect_program_installed
expect_value "${run_key}" Pastrix "${start_command}"
[ -d "${install_dir}/Default" ] || fail "the starter workspace Default is missing"
[ "$(pastrixctl_get SYSTEM_StartAutomatically)" = "true" ] ||
    fail "the installed settings do not say start automatically: $(pastrixctl_get SYSTEM_StartAutomatically)"

echo "installer test: passed"
