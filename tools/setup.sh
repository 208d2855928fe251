#!/usr/bin/env bash
# Installs the Debian packages the project needs (only those missing), then
# configures and builds everything into build/ (programs in build/bin), with
# compiler warnings treated as errors.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libsdl2-mixer-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri
  qt6-base-dev libcdio-dev libcdio-paranoia-dev
  libx11-dev libx11-xcb-dev libxcb1-dev libxcb-xfixes0-dev libxcb-xtest0-dev libxtst-dev libxfixes-dev
  libgtest-dev libgmock-dev libbenchmark-dev libpng-dev
  libxrandr-dev libxss-dev
  libwayland-dev wayland-protocols libegl-dev libxkbcommon-dev sway grim
  xvfb xauth x11-utils x11-xserver-utils xscreensaver fonts-ipafont-gothic xfonts-base openbox
  clang libclang-rt-14-dev llvm lame
  desktop-file-utils
  dbus-x11  # dbus-launch: the tests see that no session bus is autolaunched
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build_type=${TAMARUKA_BUILD_TYPE:-RelWithDebInfo}
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
[ -f build/CMakeCache.txt ] && generator=()  # the folder keeps its own
cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE="$build_type" -DTAMARUKA_WERROR=ON >/dev/null
cmake --build build --parallel "$(nproc)"
