#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Quillet needs.
# Idempotent: packages already present are left alone, and apt is not touched then.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang clang-format libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libqt6printsupport6 libqt6opengl6-dev libgl-dev libvulkan-dev
  libjpeg62-turbo-dev zlib1g-dev libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-dejavu-core fonts-liberation xvfb xauth x11-utils
  desktop-file-utils appstream librsvg2-bin dpkg-dev lintian
  sway wtype grim wl-clipboard qt6-wayland python3 xdotool xclip python3-xlib
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
