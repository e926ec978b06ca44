#!/usr/bin/env bash
# Builds the Debian package from the build folder and checks what is in it:
# the files an installed qorvsync needs and nothing of the tests or the demo,
# its control data (dependencies, no maintainer scripts), and the verdicts of
# lintian, desktop-file-validate, appstreamcli and man on its files.
# Usage: check_package.sh BUILD_DIR
set -uo pipefail
build=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }

(cd "$build" && cpack -G DEB -B "$work/out" > "$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log"
  echo "FAIL: cpack"
  exit 1
}
deb=$(ls "$work"/out/qorvsync_*.deb)
echo "package: $(basename "$deb")"

# Control data.
dpkg-deb -I "$deb" > "$work/info"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = qorvsync ] || fail "package name '$(field Package)'"
[ "$(field Section)" = hamradio ] || fail "section '$(field Section)'"
depends=$(field Depends)
for needed in libqt6core6 libqt6widgets6 libqt6sql6 libcurl4 libssl3 libc6 libqt6sql6-sqlite ca-certificates; do
  grep -Eq "(^|, )$needed( |,|$)" <<< "$depends" || fail "Depends lacks $needed: $depends"
done
grep -q trustedqsl <<< "$(field Recommends)" || fail "Recommends lacks trustedqsl"
dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's|^\./||' | grep -v '^$' | sort > "$work/control-files"
[ "$(tr '\n' ' ' < "$work/control-files")" = "control md5sums " ] ||
  fail "control files other than control and md5sums: $(tr '\n' ' ' < "$work/control-files")"
ok "control: Depends: $depends"

# Contents.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' > "$work/contents"
expected=(
  /usr/bin/qorvsync
  /usr/share/qorvsync/Submode.txt
  /usr/share/applications/org.qorvsync.qorvsync.desktop
  /usr/share/metainfo/org.qorvsync.qorvsync.metainfo.xml
  /usr/share/icons/hicolor/scalable/apps/qorvsync.svg
  /usr/share/man/man1/qorvsync.1.gz
  /usr/share/bash-completion/completions/qorvsync
  /usr/lib/systemd/user/qorvsync-download.service
  /usr/lib/systemd/user/qorvsync-download.timer
  /usr/lib/systemd/user/qorvsync-watch.service
  /usr/share/doc/qorvsync/copyright
  /usr/share/doc/qorvsync/changelog.Debian.gz
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/qorvsync.png")
done
for path in "${expected[@]}"; do
  grep -qx "$path" "$work/contents" || fail "missing $path"
done
if grep -Ei 'service-double|tqsl$|Vodrix_Log3|demo|test|man-page|\.a$|/include/' "$work/contents"; then
  fail "test doubles, demo tools or build files in the package"
fi
ok "contents: $(grep -vc '/$' "$work/contents") entries"

root=$work/root
dpkg-deb -x "$deb" "$root"
file "$root/usr/bin/qorvsync" | grep -q ', stripped' || fail "binary not stripped"
for size in 16 48 256; do
  file "$root/usr/share/icons/hicolor/${size}x${size}/apps/qorvsync.png" | grep -q "$size x $size" ||
    fail "icon ${size}x${size} has another size"
done

# Units: the installed executable's path, nothing of the copy in the home folder.
for service in "$root"/usr/lib/systemd/user/qorvsync-{download,watch}.service; do
  grep -q '/usr/bin/qorvsync' "$service" || fail "$service does not name /usr/bin/qorvsync"
  if grep -q '%h/qorvsync' "$service"; then fail "$service still names %h/qorvsync"; fi
done

# Validators.
desktop-file-validate "$root/usr/share/applications/org.qorvsync.qorvsync.desktop" ||
  fail "desktop-file-validate"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/org.qorvsync.qorvsync.metainfo.xml" ||
  fail "appstreamcli validate"
grep -q '/docs/page-1-qorv-download.png</image>' "$root/usr/share/metainfo/org.qorvsync.qorvsync.metainfo.xml" ||
  fail "the screenshot is not the one from docs/"

# The manual page: renders without warnings and has every option --help names.
man_warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E ascii -l \
  "$root/usr/share/man/man1/qorvsync.1.gz" 2>&1 > "$work/man.raw")
col -bx < "$work/man.raw" > "$work/man.txt"
[ -z "$man_warnings" ] || fail "man warnings: $man_warnings"
help=$("$build/src/qorvsync" --help)
options=$(grep -oE -- '--[a-z][a-z-]+' <<< "$help" | sort -u)
for option in $options; do
  grep -q -- "$option" "$work/man.txt" || fail "the manual page lacks $option"
done
for command in "download qorv" "download eqsl" "import FILE" "clublog FILE" check-sent watch status; do
  grep -q "$command" "$work/man.txt" || fail "the manual page lacks '$command'"
done

# Completion: every option of --help, and the words offered in a few places.
completion=$root/usr/share/bash-completion/completions/qorvsync
for option in $options; do
  grep -q -- "$option" "$completion" || fail "the completion lacks $option"
done
complete_words() {
  # Prints what Tab offers after the words given (the last one is the word typed).
  bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"; shift
    COMP_WORDS=(qorvsync "$@"); COMP_CWORD=$#
    COMP_LINE="${COMP_WORDS[*]}"; COMP_POINT=${#COMP_LINE}
    _qorvsync; printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$@" | sort | tr '\n' ' '
}
check_completion() {
  local want=$1; shift
  local got; got=$(complete_words "$@")
  [ "$got" = "$want" ] || fail "completion of '$*': '$got', expected '$want'"
}
check_completion "check-sent clublog download import status unmatched upload watch " ""
check_completion "--json " watch --
check_completion "eqsl qorv " download ""
check_completion "--own-call " download qorv --o
check_completion "--clublog " upload --c
check_completion "--json --log --since --unmark " check-sent --log Main --
# Log names come from "qorvsync --list-logs" (tested with the real program in
# test_cli); here a stand-in names one with a blank.
mkdir -p "$work/bin"
printf '#!/bin/sh\n[ "$1" = --list-logs ] && printf "Main\\nPortable Log\\n"\n' > "$work/bin/qorvsync"
chmod +x "$work/bin/qorvsync"
PATH=$work/bin:$PATH check_completion "Main Portable Log " --log ""
PATH=$work/bin:$PATH check_completion "Portable Log " upload --log P
mkdir -p "$work/files" && touch "$work/files/report.adi"
check_completion "$work/files/report.adi " import "$work/files/r"
ok "man page, completion"

# lintian: no errors; the warnings are printed for the record.
lintian --tag-display-limit 0 "$deb" > "$work/lintian" 2>&1
cat "$work/lintian"
if grep -q '^E:' "$work/lintian"; then fail "lintian errors"; fi

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "package checks passed"
