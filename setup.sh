#!/bin/sh
# Installs the Debian packages the program and its tests need (Debian 12).
set -e
PACKAGES="cmake g++ make pkg-config qt6-base-dev libqt6sql6-sqlite libsqlite3-dev \
  libhunspell-dev hunspell-en-us fonts-liberation2 poppler-utils libgl-dev"
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
fi
