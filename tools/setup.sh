#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Quorvane Lt need.
# Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config ccache python3
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
  libsqlcipher-dev libssl-dev qtkeychain-qt6-dev
  libpq-dev postgresql
  xvfb xauth poppler-utils fonts-dejavu-core
  clang libclang-rt-14-dev
  desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  echo "setup: installing ${missing[*]}"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests start a PostgreSQL server of their own (tools/pg_server.sh); the server refuses to run
# as root, so as root it runs as this unprivileged user.
if [ "$(id -u)" -eq 0 ] && ! id -u quorvane-pg >/dev/null 2>&1; then
  useradd --system --no-create-home --shell /usr/sbin/nologin quorvane-pg
fi
