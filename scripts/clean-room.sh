#!/usr/bin/env bash
# Proves the README's two commands on a fresh Debian 12: builds a minimal bookworm root with
# debootstrap, copies the working tree into it and runs, inside a chroot, the test command and then
# the play command (under a private X server, for a limited number of frames).
# Needs root and network access to a Debian mirror. Takes a long while (a full install and three
# builds). Usage: sudo scripts/clean-room.sh [ROOT_DIR]   (default /var/tmp/t4-clean-root)
# T4_JOBS limits the build's parallel jobs; T4_MIRROR picks the Debian mirror.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=${1:-/var/tmp/t4-clean-root}
MIRROR=${T4_MIRROR:-http://deb.debian.org/debian}
JOBS=${T4_JOBS:-$(nproc)}

if [ "$(id -u)" -ne 0 ]; then
  echo "clean-room: run as root (debootstrap and chroot need it)" >&2
  exit 1
fi
if ! command -v debootstrap > /dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap
fi

mounted=()
cleanup() {
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[$i]}" 2> /dev/null || true; done
}
trap cleanup EXIT
bind() {
  mkdir -p "$ROOT$1"
  mount --bind "$1" "$ROOT$1"
  mounted+=("$ROOT$1")
}

if [ ! -x "$ROOT/usr/bin/apt-get" ]; then
  echo "== debootstrap bookworm into $ROOT =="
  rm -rf "$ROOT"
  debootstrap --variant=minbase bookworm "$ROOT" "$MIRROR"
fi
cp /etc/resolv.conf "$ROOT/etc/resolv.conf"

echo "== copy the working tree =="
rm -rf "$ROOT/root/t4"
mkdir -p "$ROOT/root/t4"
git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf - | tar -xf - -C "$ROOT/root/t4"

mkdir -p "$ROOT/proc" "$ROOT/sys"
mount -t proc proc "$ROOT/proc" && mounted+=("$ROOT/proc")
mount -t sysfs sys "$ROOT/sys" && mounted+=("$ROOT/sys")
bind /dev
bind /dev/pts
mkdir -p "$ROOT/dev/shm" && mount -t tmpfs shm "$ROOT/dev/shm" && mounted+=("$ROOT/dev/shm")

# The README's commands, exactly, as root in the fresh root; the play command runs under the
# X server the test command installed, for a few seconds of frames.
chroot "$ROOT" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  LANG=C.UTF-8 T4_JOBS="$JOBS" bash -c '
  set -e
  cd /root/t4
  echo "== bash scripts/test.sh =="
  bash scripts/test.sh
  echo "== bash scripts/play.sh (under xvfb-run, 300 frames) =="
  xvfb-run -a bash scripts/play.sh --frames 300
  echo "== clean room: both commands passed =="
'
