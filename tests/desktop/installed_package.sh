#!/usr/bin/env bash
# The Debian package as a user meets it: installed with apt, the installed tavlin used on
# a virtual desktop (Alt+Space over a GTK 3 application, a tavlin:// link through
# xdg-open), then purged, leaving nothing behind.
#
#   tests/desktop/installed_package.sh DEB
#
# Installs and removes a system package: for CI machines and containers.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
deb=$(realpath "$1")
fail() { echo "FAIL: $*" >&2; exit 1; }
sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

# What the system holds besides caches that packages' triggers rebuild.
system_files() {
  find /usr /etc /opt -xdev 2>/dev/null |
    grep -Ev '/(mimeinfo|icon-theme|gschemas\.compiled|ld\.so)\.cache$|^/etc/ld\.so\.cache$|__pycache__' | sort
}

! dpkg-query -W -f='${Status}' tavlin 2>/dev/null | grep -q 'install ok installed' ||
  fail "tavlin is already installed; this test installs and purges it"
before=$(mktemp); after=$(mktemp); tree=$(mktemp -d); trap 'rm -rf "$before" "$after" "$tree"' EXIT
system_files >"$before"

$sudo apt-get install -y -qq "$deb" >/dev/null || fail "apt-get install $deb failed"
[ "$(command -v tavlin)" = /usr/bin/tavlin ] || fail "no /usr/bin/tavlin"
# /usr/bin/tavlin is the launcher, on libc alone; the Qt program it starts is private.
needed=$(objdump -p /usr/bin/tavlin | awk '/NEEDED/ { print $2 }')
[ "$needed" = libc.so.6 ] || fail "the launcher needs more than libc: $(echo $needed)"
metainfo=/usr/share/metainfo/org.tavlin.tavlin.metainfo.xml
for file in /usr/libexec/tavlin/tavlin /usr/share/applications/tavlin.desktop /usr/share/icons/hicolor/scalable/apps/tavlin.svg \
            /usr/share/man/man1/tavlin.1.gz "$metainfo"; do
  dpkg -S "$file" >/dev/null 2>&1 || fail "the package does not install $file"
done
desktop-file-validate /usr/share/applications/tavlin.desktop || fail "the installed desktop entry is invalid"
# The AppStream metadata as software centres read it: valid, and launching a desktop entry
# the package installs. `appstreamcli validate-tree` checks the file as `validate` does and
# that link too; it runs over a copy of the package's installed files alone, as the rest of
# /usr belongs to other packages. Warnings fail it as errors do (appstreamcli's default):
# they are what software centres trip on, while its pedantic hints are matters of style.
dpkg -L tavlin | while read -r file; do [ ! -f "$file" ] || cp --parents "$file" "$tree"; done
appstreamcli validate-tree --no-net "$tree" || fail "the installed AppStream metadata is invalid (above)"
! ls /etc/xdg/autostart/tavlin.desktop >/dev/null 2>&1 || fail "the package turns on start at login for everyone"
version=$(dpkg-query -W -f='${Version}' tavlin)
[ "$(tavlin --version)" = "Tavlin $version" ] || fail "tavlin --version does not say $version"

"$here/../../scripts/with-desktop" -- "$here/installed_tavlin.sh" /usr/bin/tavlin ||
  fail "the installed tavlin failed on the desktop"

$sudo apt-get purge -y -qq tavlin >/dev/null || fail "apt-get purge tavlin failed"
! dpkg-query -W tavlin >/dev/null 2>&1 || fail "dpkg still knows tavlin after the purge"
system_files >"$after"
diff "$before" "$after" >&2 || fail "files left behind or removed by the package (above)"
! grep -rqs tavlin /usr/share/applications/mimeinfo.cache || fail "the link handler stayed registered"
echo PASS
