#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Quick when all is there.
set -euo pipefail
pkgs=(cmake make g++ clang clang-format libclang-rt-14-dev
      g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-x86-64-dev
      wine wine64 wine32:i386 xvfb xauth x11-utils x11-apps imagemagick cabextract gcab zip
      # Wine's own fonts and the X extensions it draws windows with: recommended by the
      # wine packages, so left out by --no-install-recommends. The tests use these fonts
      # and no others (see cmake/wine-env.sh).
      fonts-wine libxrender1 libxrandr2 libxi6 libxcursor1 libxinerama1 libxcomposite1
      libxfixes3 libxxf86vm1
      googletest libgtest-dev libbenchmark-dev zlib1g-dev)
# wine32 (the 32-bit program's tests) comes from the i386 architecture
need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ] && [ $need_i386 -eq 0 ]; then
    exit 0
fi
echo "Installing: ${missing[*]}"
sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
[ $need_i386 -eq 0 ] || $sudo_cmd dpkg --add-architecture i386
$sudo_cmd apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
