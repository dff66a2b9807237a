#!/usr/bin/env bash
# Checks the Debian package $1 (scripts/package --deb): its control data
# names the package, its version and what it needs at run time; its files lie
# under /usr with the desktop entry, file type, icons and AppStream data; and
# lintian finds no error in it. Warnings lintian gives are printed; the ones
# kept are named in the README.
#   $2 the version the package must carry.
set -euo pipefail

DEB="$(realpath "$1")"
VERSION="$2"
LOG="$(mktemp)"
trap 'rm -f "$LOG"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

info="$(dpkg-deb --info "$DEB")"
field() { dpkg-deb --field "$DEB" "$1"; }
[ "$(field Package)" = tessaline ] || fail "the package is called $(field Package)"
[ "$(field Version)" = "$VERSION" ] || fail "the package's version is $(field Version), not $VERSION"
depends="$(field Depends)"
for needed in libqt6widgets6 libqt6printsupport6 libqt6svg6 qt6-qpa-plugins fonts-noto-cjk qt6-translations-l10n; do
  grep -qE "(^|, )$needed( |,|$)" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
grep -q '^ Description: ' <<<"$info" || fail "no description"

contents="$(dpkg-deb --contents "$DEB" | awk '{ path = $6; for (i = 7; i <= NF; ++i) path = path " " $i; print path }')"
has() { grep -qxF -- "$1" <<<"$contents" || fail "the package lacks $1"; }
has "./usr/bin/tessaline -> ../lib/tessaline/tessaline"
has "./usr/bin/tessaline-cli -> ../lib/tessaline/tessaline-cli"
has ./usr/lib/tessaline/tessaline
has ./usr/lib/tessaline/tessaline-cli
has ./usr/share/applications/tessaline.desktop
has ./usr/share/mime/packages/tessaline.xml
has ./usr/share/icons/hicolor/scalable/apps/tessaline.svg
has ./usr/share/metainfo/io.github.tessaline.Tessaline.metainfo.xml
has ./usr/share/doc/tessaline/copyright
has ./usr/share/doc/tessaline/changelog.gz
has ./usr/share/man/man1/tessaline.1.gz
has ./usr/share/man/man1/tessaline-cli.1.gz
! grep -q '^\./usr/local' <<<"$contents" || fail "files under /usr/local"
# Root owns every file, as dpkg installs them.
[ "$(dpkg-deb --contents "$DEB" | awk '$2 != "root/root"' | wc -l)" -eq 0 ] || fail "files not owned by root"

# Lintian as a user runs it; errors fail, warnings are shown.
lintian_args=(--fail-on error --tag-display-limit 0)
[ "$(id -u)" -ne 0 ] || lintian_args+=(--allow-root)
lintian "${lintian_args[@]}" "$DEB" >"$LOG" 2>&1 || { cat "$LOG" >&2; fail "lintian found errors"; }
grep -E '^[WE]: ' "$LOG" || true
echo "deb: passed"
