#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine; safe to run
# again (it installs only what is missing, and is quick when nothing is).
set -euo pipefail

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

packages=(
    cmake make
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    g++-mingw-w64-i686-posix binutils-mingw-w64-i686
    googletest
    wine64 xvfb xauth
    # The 32-bit build is the one publishers ship: its tests run in the
    # same 64-bit prefix through Wine's 32-bit side.
    wine32:i386
    # Wine's own fonts: without them the caption's buttons show letters.
    fonts-wine
    imagemagick
    clang libclang-rt-dev
    locales
    e2fsprogs util-linux
    fonts-comic-neue
    # packcheck's zip reader and writer: zlib for both Windows targets; the
    # zip tools make and unpack the zips of its tests (Python's zipfile the
    # one with BZip2 series); host zlib for its fuzzer.
    libz-mingw-w64-dev zip unzip zlib1g-dev python3
    # Signing a release with Authenticode and verifying it, from a PKCS#12
    # file or a PKCS#11 token (through OpenSSL's pkcs11 engine); openssl
    # makes the signing test's throwaway certificates.
    osslsigncode openssl libengine-pkcs11-openssl
)

# wine32 comes from the i386 side of the archive, which the package lists
# only hold once the architecture is added.
fUpdate=false
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup: adding the i386 architecture"
    "${sudo_cmd[@]}" dpkg --add-architecture i386
    fUpdate=true
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    fUpdate=true
fi
if $fUpdate; then
    "${sudo_cmd[@]}" apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The double-byte code page tests run the programs under a Japanese locale,
# the zip-name tests under a Dutch one; Wine needs each generated to map
# such file names to the disk.
for lang in ja_JP nl_NL; do
    if ! locale -a 2>/dev/null | grep -qi "^$lang\.utf-\?8$"; then
        echo "setup: generating the $lang.UTF-8 locale"
        "${sudo_cmd[@]}" localedef -i "$lang" -f UTF-8 "$lang.UTF-8"
    fi
done
