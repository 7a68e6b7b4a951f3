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
missing32=()
dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed" || missing32+=(wine32:i386)
if [ ${#missing[@]} -gt 0 ] || [ ${#missing32[@]} -gt 0 ]; then
    fUpdate=true
fi
# A mirror caught mid-sync refuses one list now and then ("File has
# unexpected size"): it is asked again, and after that the install goes on
# with the lists it did get. A package whose list is missing still fails
# there, by name.
if $fUpdate; then
    for try in 1 2 3; do
        "${sudo_cmd[@]}" apt-get update -qq && break
        if [ "$try" -eq 3 ]; then
            echo "setup: apt-get update failed three times; installing from the lists it got"
        else
            sleep 20
        fi
    done
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The 32-bit build is the one publishers ship: its tests run in the same
# 64-bit prefix through Wine's 32-bit side. Its i386 libraries must match
# the amd64 ones version for version, which a mirror short of one i386
# list cannot give; the 32-bit builds need none of it, and the tests then
# say that their 32-bit suite was left out.
if [ ${#missing32[@]} -gt 0 ]; then
    echo "setup: installing ${missing32[*]}"
    if ! DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
            "${missing32[@]}" >/tmp/setup-wine32.$$.log 2>&1; then
        echo "setup: ${missing32[*]} could not be installed ($(grep -m1 '^E:' /tmp/setup-wine32.$$.log || echo 'apt-get failed')); the 32-bit programs cannot be run here"
    fi
    rm -f /tmp/setup-wine32.$$.log
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
