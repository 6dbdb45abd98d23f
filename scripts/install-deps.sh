#!/usr/bin/env bash
# Installs the Debian packages Vantrel needs that are not installed yet.
#   install-deps.sh          what building and running need
#   install-deps.sh --test   also what the test suite needs
#   install-deps.sh --coverage  also what measuring the suite's line coverage needs
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config ccache
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-svg-dev libgl-dev
    # Liberation Serif stands in for Times New Roman with the same metrics; WenQuanYi Zen Hei
    # Sharp carries hand-tuned bitmaps, so Chinese stays legible at 16 LED pixels.
    fonts-liberation2 fonts-wqy-zenhei fontconfig
    adwaita-icon-theme
    # Qt's own texts (message box buttons, file and colour dialogs) in Simplified Chinese.
    qt6-translations-l10n
    # A virtual screen when the machine has none.
    xvfb xauth
    # cpack's Debian package computes its library dependencies with dpkg-shlibdeps.
    dpkg-dev
    # Sites: agents reach an MQTT broker through libmosquitto.
    libmosquitto-dev
)
if [[ "${1:-}" == "--test" || "${1:-}" == "--coverage" ]]; then
    # Our RTF is checked against LibreOffice; ImageMagick takes screenshots; the installed
    # desktop entry is checked with desktop-file-validate; the sites tests start their own
    # MQTT broker, with certificates openssl makes for its TLS; mosquitto_pub and
    # mosquitto_sub play a site or a home-automation system by hand.
    packages+=(libreoffice-writer-nogui imagemagick desktop-file-utils mosquitto openssl
        mosquitto-clients)
fi
if [[ "${1:-}" == "--coverage" ]]; then
    packages+=(gcovr)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if [[ ${#missing[@]} -eq 0 ]]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
    if ! command -v sudo >/dev/null; then
        echo "These packages are missing and installing them needs root: ${missing[*]}" >&2
        exit 1
    fi
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
