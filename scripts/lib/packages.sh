# Installs the Debian packages given that are missing, refreshing the package lists once
# first; does nothing when all are present.
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
    ${sudo} apt-get update
    DEBIAN_FRONTEND=noninteractive ${sudo} apt-get install -y --no-install-recommends "${missing[@]}"
}
