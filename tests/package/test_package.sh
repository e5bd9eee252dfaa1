#!/bin/sh
# The Debian package as a user gets it: made with CPack from the build
# folder, its declared dependencies, its files unpacked into a scratch root
# (dpkg -x) and the unpacked program started there, which must find its data
# folder in ../share/tavrel and show its first page.
#   test_package.sh <build folder> [cpack]
set -eu
build=$1
cpack=${2:-cpack}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$scratch" && "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1) ||
  { cat "$scratch/cpack.log" >&2; fail "cpack -G DEB"; }
deb=$(ls "$scratch"/out/tavrel_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no tavrel_*.deb made"

# Dependencies: the libraries found by dpkg-shlibdeps and the declared fonts.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for package in libqt6webenginecore6 libqt6widgets6 libsqlite3-0 fonts-ipafont-gothic fonts-ipafont-mincho libqt6webenginecore6-bin; do
  case "$depends" in *"$package"*) ;; *) fail "Depends lacks $package" ;; esac
done

root=$scratch/root
dpkg -x "$deb" "$root"
for f in usr/bin/tavrel usr/share/tavrel/TL2008.orl usr/share/tavrel/default.ppj usr/share/tavrel/help08.html \
         usr/share/tavrel/manual/menus.html usr/share/tavrel/images08/system \
         usr/share/applications/tavrel.desktop usr/share/icons/hicolor/scalable/apps/tavrel.svg \
         usr/share/metainfo/org.tavrel.Tavrel.metainfo.xml; do
  [ -e "$root/$f" ] || fail "the package lacks /$f"
done
if command -v appstreamcli >/dev/null 2>&1; then
  appstreamcli validate --no-net "$root/usr/share/metainfo/org.tavrel.Tavrel.metainfo.xml" || fail "metainfo does not validate"
fi
if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$root/usr/share/applications/tavrel.desktop" || fail "desktop entry does not validate"
fi

# The unpacked program, with its own settings, temporary folder and
# single-instance name so that no other copy of the program answers for it.
mkdir -p "$scratch/home" "$scratch/tmp"
run() {
  env HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config" XDG_DATA_HOME="$scratch/home/.local/share" \
      XDG_CACHE_HOME="$scratch/home/.cache" TMPDIR="$scratch/tmp" USER=tavrel-package-test \
      QTWEBENGINE_DISABLE_SANDBOX=1 "$@"
}
if [ -n "${DISPLAY:-}" ]; then
  out=$(run timeout 120 "$root/usr/bin/tavrel" --measure-startup 2>"$scratch/stderr") || true
else
  out=$(run timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" "$root/usr/bin/tavrel" --measure-startup 2>"$scratch/stderr") || true
fi
echo "$out"
case "$out" in
  *"data folder $root/usr/share/tavrel/"*) ;;
  *) cat "$scratch/stderr" >&2; fail "the installed program did not take its data folder from $root/usr/share/tavrel" ;;
esac
case "$out" in
  *"first page shown after"*) ;;
  *) cat "$scratch/stderr" >&2; fail "the installed program showed no first page" ;;
esac
echo "package ok: $(basename "$deb") ($(du -k "$deb" | cut -f1) kB)"
