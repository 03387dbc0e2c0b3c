# Installs the Debian packages given that are missing, refreshing the package lists once per
# run first; does nothing when all are present.
packages_refreshed=""
ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "${package}" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("${package}")
        fi
    done
    if [ "${#missing[@]}" -eq 0 ]; then
        return 0
    fi
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    if [ -z "${packages_refreshed}" ]; then
        ${sudo} apt-get update
        packages_refreshed=yes
    fi
    DEBIAN_FRONTEND=noninteractive ${sudo} apt-get install -y --no-install-recommends "${missing[@]}"
}
