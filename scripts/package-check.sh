#!/usr/bin/env bash
# Builds the Debian package and checks it as a user's machine would take it:
# installed by the package manager, lintian without errors, a valid desktop
# entry, the manual page found, one unattended install without a display by the
# installed program, and removed again without a trace in /usr.
#   scripts/package-check.sh [BUILD]   BUILD: the build folder (default build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
package=tessarine-installer
program=TessarineInstaller
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

step() { printf '\n== %s\n' "$*"; }
fail() { printf 'package-check: %s\n' "$*" >&2; exit 1; }

work=$(mktemp -d)
installed_here=0
cleanup() {
  rm -rf "$work"
  if ((installed_here)); then $SUDO apt-get remove -y -qq "$package" >/dev/null 2>&1 || true; fi
}
trap cleanup EXIT

step "Building the package in $build/"
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/${package}_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/${package}_*.deb)
[ -f "${debs[0]}" ] || fail "cpack made no ${package}_*.deb in $build/"
deb=$(realpath "${debs[0]}")
echo "$deb"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'
dpkg-deb --contents "$deb"

step "Installing it with apt-get"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get install -y -qq "$deb" >/dev/null
installed_here=1
dpkg-query -W -f='${Status}\n' "$package" | grep -qx 'install ok installed' || fail "$package is not installed"
[ "$(command -v "$program")" = "/usr/bin/$program" ] || fail "$program is not /usr/bin/$program"

step "lintian (no errors allowed)"
lintian --fail-on error "$deb" || fail "lintian found errors"

step "The desktop entry and the manual page"
desktop-file-validate "/usr/share/applications/$package.desktop" || fail "the desktop entry is not valid"
man -w "$program" || fail "man finds no page for $program"
man "$program" 2>/dev/null | grep -q 'EXIT STATUS' || fail "the manual page cannot be read"

step "The installed program"
version=$(dpkg-query -W -f='${Version}' "$package")
[ "$("$program" --version)" = "$program $version" ] || fail "--version does not say $program $version"
"$program" --help | grep -q '^  INSTALL=name ' || fail "--help does not list INSTALL"
status=0
"$program" --bogus 2>/dev/null || status=$?
[ "$status" -eq 2 ] || fail "an unknown option ended with status $status, not 2"

step "One unattended install without a display"
mkdir -p "$work/server" "$work/local" "$work/tmp" "$work/runtime"
chmod 700 "$work/runtime"
printf 'Stock build 412\n' >"$work/server/Stock.exe"
printf 'Stock build 411\n' >"$work/local/Stock.exe"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen TMPDIR="$work/tmp" HOME="$work" XDG_RUNTIME_DIR="$work/runtime" \
  "$program" "SERVER=$work/server/" "LOCAL=$work/local/" INSTALL=Stock.exe "LOCALFOLDER=$work/" || status=$?
[ "$status" -eq 0 ] || fail "the unattended install ended with status $status"
cmp -s "$work/server/Stock.exe" "$work/local/Stock.exe" || fail "Stock.exe was not installed"
[ "$(cat "$work/local/Stock.exe.X01")" = "Stock build 411" ] || fail "the old Stock.exe is not kept as .X01"
echo "installed, the old version kept as Stock.exe.X01"

step "The whole program, loaded from where the package put it"
# --make-index is the whole program's: the small program file hands it on.
env -u DISPLAY -u WAYLAND_DISPLAY "$program" --make-index "$work/server" || fail "--make-index did not run"
grep -q '^Stock.exe	' "$work/server/TessarineIndex.txt" || fail "the index does not list Stock.exe"
echo "the index written by the window part"

step "Removing it with apt-get"
$SUDO apt-get remove -y -qq "$package" >/dev/null
installed_here=0
if dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q 'ok installed'; then
  fail "$package is still installed"
fi
for f in "/usr/bin/$program" "/usr/libexec/$package" "/usr/share/applications/$package.desktop" "/usr/share/man/man1/$program.1.gz" \
  "/usr/share/doc/$package"; do
  [ ! -e "$f" ] || fail "$f is left behind"
done
echo "removed"

step "The package passed its checks"
