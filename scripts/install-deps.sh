#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and the demo need. Safe to run again.
set -euo pipefail
# Recommended packages are left out, so every program a step calls is named here itself.
packages=(
    # compilers and build: dpkg-dev brings dpkg-shlibdeps for the package's dependencies
    build-essential dpkg-dev cmake ninja-build pkg-config
    # the libFuzzer runtime is only a recommendation of clang
    clang libclang-rt-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev libcurl4-openssl-dev libssl-dev libcpp-httplib-dev openssl ca-certificates
    # the Debian package: CPack asks `file` which installed files are shared objects
    file
    # the Intel HEX benchmark compares with objcopy and srec_cat
    binutils srecord
    # The Windows build: MinGW-w64 with posix threads, GoogleTest sources to build for it, Wine
    # to run its tests, msitools for the installer.
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools googletest
    wine wine64 msitools wixl
    # Authenticode signatures of the Windows programs and installer
    osslsigncode
    # the manual page, the package's lint, JSON for machine-readable output
    help2man lintian nlohmann-json3-dev
    # the shutdown inhibitor talks to logind with sd-bus; its tests use a private bus and a mock
    libsystemd-dev dbus python3-dbusmock
    # The screen reader's view of the Qt window: the accessibility bus and registry, read with
    # the Python bindings a screen reader uses
    at-spi2-core python3-pyatspi
    # The Win32 window tests: a display for Wine; Wine's own Tahoma, the font of both views
    xvfb fonts-wine
    # The trace's time stamps are tested under a German locale, as on the lab PCs: Wine takes
    # its user locale from the C library's, which needs the locale generated
    locales
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"
fi
if ! locale -a 2>/dev/null | grep -qx 'de_DE.utf8'; then
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -qx 'de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $sudo_cmd tee -a /etc/locale.gen >/dev/null
    $sudo_cmd locale-gen
fi
