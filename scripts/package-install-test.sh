#!/usr/bin/env bash
# Installs the package on a fresh Debian 12 system and uses it as a user
# would: `qorvsync --version`, one headless Qorv download against the service
# double, then removes the package and checks that it left no file behind but
# the user's own.
#
# The fresh system is a chroot made with debootstrap in build-chroot/ (needs
# root and a reachable Debian mirror; kept for the next run). Without them the
# package goes into this machine itself with dpkg, which is only done in CI
# (CI set).
# Usage: scripts/package-install-test.sh [PACKAGE.deb]   (default: build/qorvsync_*.deb)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/demo_data.sh
checkout=$PWD
build=$checkout/build
deb=$(realpath "${1:-$(ls build/qorvsync_*.deb | tail -n 1)}")
mirror=$(sed -n 's/^URIs: *//p; s/^deb \(http[^ ]*\) .*/\1/p' /etc/apt/sources.list.d/*.sources \
  /etc/apt/sources.list 2>/dev/null | grep -v security | head -n 1 || true)
mirror=${mirror:-http://deb.debian.org/debian}

root=$checkout/build-chroot/bookworm
mounted=()
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount "${mounted[i]}" 2>/dev/null || true; done
}
trap cleanup EXIT

if [ "$(id -u)" -eq 0 ] && { [ -x "$root/usr/bin/apt-get" ] || command -v debootstrap > /dev/null; }; then
  if [ ! -x "$root/usr/bin/apt-get" ]; then
    echo "== debootstrap bookworm from $mirror into $root"
    mkdir -p "$(dirname "$root")"
    debootstrap --variant=minbase bookworm "$root" "$mirror" > "$root.log" 2>&1 ||
      { tail "$root.log"; exit 1; }
  fi
  in_system() { chroot "$root" "$@"; }
  system_path() { echo "$root$1"; }
  mount -t proc proc "$root/proc" && mounted+=("$root/proc")
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  echo "== fresh Debian $(cat "$root/etc/debian_version") in $root"
elif [ -n "${CI:-}" ]; then
  in_system() { "$@"; }
  system_path() { echo "$1"; }
  echo "== no chroot possible: installing into this machine (CI)"
else
  echo "Needs root and debootstrap (a fresh Debian 12 chroot), or CI=1 to install into this machine." >&2
  exit 2
fi

# Files of the system outside the user's home and the package tools' own
# records, to compare before the package and after its removal.
system_files() {
  (cd "$(system_path /)" && find . -xdev \
    \( -path ./proc -o -path ./sys -o -path ./dev -o -path ./tmp -o -path ./run -o -path ./home \
    -o -path ./root -o -path ./var/cache -o -path ./var/log -o -path ./var/lib/apt \
    -o -path ./var/lib/dpkg -o -path ./build-chroot \) -prune -o -print | sort)
}

echo "== dependencies of $(basename "$deb")"
cp "$deb" "$(system_path /tmp)/qorvsync.deb"
in_system apt-get update -qq
DEBIAN_FRONTEND=noninteractive in_system apt-get satisfy -y -qq --no-install-recommends \
  "$(dpkg-deb -f "$deb" Depends)" > /dev/null
system_files > "$build/system-before.txt"

echo "== dpkg -i"
in_system dpkg -i /tmp/qorvsync.deb

# The user: an ordinary account without a passwd entry, with a logbook made by
# the logbook double, its registry, and a qorv.ini naming the service double.
user_home=/home/op
home=$(system_path $user_home)
rm -rf "$home" && mkdir -p "$home/.config/qorvsync" "$home/.config/registry"
services=$(mktemp -d)
# The double writes the registry of the user running it, naming the folder it
# made: the user's copy names the folder in the user's home.
XDG_CONFIG_HOME=$services/config "$build/tools/logbook-double/Vodrix_Log3.exe" \
  --create "$services/logbook" --qsos 300 --seed 3 > /dev/null
sed "s|$services/logbook/|$user_home/logbook/|" "$services/config/registry/HKEY_CURRENT_USER.reg" \
  > "$home/.config/registry/HKEY_CURRENT_USER.reg"
cp -a "$services/logbook" "$home/logbook"
db=$home/logbook/db/logs.mdb
login=$(sqlite3 "$db" "SELECT EQorvUserName || char(9) || EQorvPassword FROM Aconfig LIMIT 1;")
mkdir -p "$services/qorv"
printf 'qorv\t%s\n' "$login" > "$services/accounts.txt"
first=$(demo_set_tables "$db" "$(sqlite3 "$db" 'SELECT LogSet FROM Aconfig LIMIT 1;')" | head -n 1)
{
  demo_qorv_records "$db" "$first" "ID % 3 = 0"
  printf '<CALL:6>ZZ9ZZZ\n<BAND:3>20M\n<MODE:3>FT8\n<QSO_DATE:8>20240301\n<TIME_ON:6>101500\n'
  printf '<QSL_RCVD:1>Y\n<QSLRDATE:8>20240610\n<eor>\n'
} > "$services/qorv/${login%%$'\t'*}.adi"
"$build/tools/service-double/service-double" --state "$services" --ca-out "$services/ca.pem" \
  --ports-out "$services/ports" > "$services/service-double.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$services/ports" ] && break; sleep 0.1; done
port=$(sed -n 's/^https=//p' "$services/ports")
cp "$services/ca.pem" "$home/ca.pem"
printf '[Services]\r\nQorv=https://localhost:%s\r\nCAFile=%s/ca.pem\r\n' "$port" "$user_home" \
  > "$home/.config/qorvsync/qorv.ini"
chown -R 1000:1000 "$home"

as_user() {
  in_system setpriv --reuid=1000 --regid=1000 --clear-groups env -i HOME=$user_home \
    PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"
}
echo "== qorvsync --version (as uid 1000)"
as_user qorvsync --version
echo "== qorvsync download qorv --json"
status=0
as_user qorvsync download qorv --json || status=$?
echo "exit status $status"
[ "$status" -eq 0 ]
echo "== the user's files"
(cd "$home" && find .config/qorvsync .local -type f | sort)
[ -s "$home/.local/state/qorvsync/QorvError.txt" ]

echo "== dpkg --purge qorvsync"
in_system dpkg --purge qorvsync
system_files > "$build/system-after.txt"
if ! diff "$build/system-before.txt" "$build/system-after.txt"; then
  echo "FAIL: the package left files behind (above)" >&2
  exit 1
fi
[ -f "$home/.config/qorvsync/qorv.ini" ]
echo "== removed: no file left behind; the user's own files stay in $user_home"
rm -rf "$services"
