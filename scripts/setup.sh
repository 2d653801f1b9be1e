#!/bin/sh
# Installs every Debian package Velmora needs to build, test and run, and the
# locales its tests pin. Safe to run again; quiet unless something fails.
set -eu

packages="
  g++ clang libclang-rt-14-dev cmake ninja-build pkg-config
  qt6-base-dev libxerces-c-dev libisal-dev
  librsvg2-bin imagemagick xvfb xdotool at-spi2-core python3-pyatspi dbus-x11
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  dosfstools fusefat mtools fuse3 libfuse3-dev
  libxml2-utils python3
  dpkg-dev lintian desktop-file-utils appstream shared-mime-info xdg-utils libfile-mimeinfo-perl
  bash-completion man-db
  locales
"
locales="en_US.UTF-8 de_DE.UTF-8 en_GB.UTF-8 fr_FR.UTF-8"

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "setup: installing$missing"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  # shellcheck disable=SC2086
  $sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi

for l in $locales; do
  name=${l%.UTF-8}
  if ! locale -a 2>/dev/null | grep -qix "$name.utf8"; then
    $sudo localedef -i "$name" -f UTF-8 "$l"
  fi
done
