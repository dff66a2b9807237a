#!/usr/bin/env bash
# Installs the build folder $1 into a fresh prefix as `cmake --install` does
# and checks what a desktop user gets: the program folder with both programs,
# the links in bin/ that still find that folder (also after the whole tree is
# moved, as an unpacked archive is), the demo tables only when asked for, and
# the desktop entry, icons, file type and AppStream metadata, checked with
# the desktop's own tools where they are installed.
#   $2 1 when the window program is built, $3 1 when the demo tables are part
#   of a plain install, $4 1 when bitmap icons are rendered, $5 the version.
set -euo pipefail

BUILD="$(realpath "$1")"
GUI="$2"
DEMO_BY_DEFAULT="$3"
PNG_ICONS="$4"
VERSION="$5"
WORK="$(mktemp -d)"
child=""
cleanup() {
  [ -z "$child" ] || kill "$child" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT
cd "$WORK"

# The user's own settings and locale must not decide anything here.
export XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data"
export LC_ALL=C
unset LANG LC_MESSAGES || true

fail() { echo "FAIL: $*" >&2; exit 1; }
have() { command -v "$1" >/dev/null 2>&1; }

PROGRAMS=(tessaline-cli)
if [ "$GUI" = 1 ]; then PROGRAMS+=(tessaline); fi

PREFIX="$WORK/prefix"
cmake --install "$BUILD" --prefix "$PREFIX" >install.log || { cat install.log >&2; fail "cmake --install"; }
APP="$PREFIX/lib/tessaline"

# ---- the program folder and the links to it
for program in "${PROGRAMS[@]}"; do
  [ -x "$APP/$program" ] && [ ! -L "$APP/$program" ] || fail "no program $APP/$program"
  link="$PREFIX/bin/$program"
  [ -L "$link" ] || fail "bin/$program is no link"
  case "$(readlink "$link")" in /*) fail "bin/$program links an absolute path" ;; esac
  [ "$(realpath "$link")" = "$(realpath "$APP/$program")" ] || fail "bin/$program does not lead to the program folder"
done
if [ "$DEMO_BY_DEFAULT" = 0 ]; then
  [ ! -e "$APP/FileVersion.INI" ] || fail "demo tables installed without being asked for"
fi

cmake --install "$BUILD" --prefix "$PREFIX" --component demo >demo.log || { cat demo.log >&2; fail "demo component"; }
[ -f "$APP/FileVersion.INI" ] || fail "no FileVersion.INI from the demo component"
[ -f "$APP/QM71/QM71S01-A1.bkh" ] || fail "no demo table QM71S01-A1.bkh"

# The demo component honours DESTDIR as the rest of the install does.
DESTDIR="$WORK/stage" cmake --install "$BUILD" --prefix /opt/tessaline --component demo >stage.log \
  || { cat stage.log >&2; fail "demo component with DESTDIR"; }
[ -f "$WORK/stage/opt/tessaline/lib/tessaline/FileVersion.INI" ] || fail "the demo ignored DESTDIR"

# ---- started through its link, from a moved tree, each program finds its folder
MOVED="$WORK/elsewhere/tessaline"
mkdir -p "$(dirname "$MOVED")"
mv "$PREFIX" "$MOVED"
status=0
"$MOVED/bin/tessaline-cli" new --model QM71 --capacity 1R122 -o pump.csl >out.txt 2>err.txt || status=$?
[ "$status" -eq 0 ] || { cat err.txt >&2; fail "installed tessaline-cli new: exit $status"; }
"$MOVED/bin/tessaline-cli" show pump.csl --area A >out.txt 2>err.txt || { cat err.txt >&2; fail "installed tessaline-cli show"; }
awk -F'\t' '$1 == "A-0" { found = 1 } END { exit !found }' out.txt || fail "show printed no row A-0"

if [ "$GUI" = 1 ]; then
  # The window program records its program folder in the user store first
  # thing at start.
  store="$XDG_CONFIG_HOME/tessaline/CON.conf"
  QT_QPA_PLATFORM=offscreen "$MOVED/bin/tessaline" >gui.log 2>&1 &
  child=$!
  for _ in $(seq 1 300); do
    grep -q '^exe_path=' "$store" 2>/dev/null && break
    kill -0 "$child" 2>/dev/null || { cat gui.log >&2; fail "the installed window program stopped"; }
    sleep 0.1
  done
  kill "$child" 2>/dev/null || true
  wait "$child" 2>/dev/null || true
  child=""
  grep -qx "exe_path=$MOVED/lib/tessaline/" "$store" || fail "the window program took another folder: $(cat "$store" 2>/dev/null)"
fi

# ---- desktop integration
if [ "$GUI" = 1 ]; then
  SHARE="$MOVED/share"
  DESKTOP="$SHARE/applications/tessaline.desktop"
  MIME="$SHARE/mime/packages/tessaline.xml"
  METAINFO="$SHARE/metainfo/io.github.tessaline.Tessaline.metainfo.xml"
  for file in "$DESKTOP" "$MIME" "$METAINFO" "$SHARE/icons/hicolor/scalable/apps/tessaline.svg"; do
    [ -f "$file" ] || fail "no $file"
  done

  grep -qx 'Exec=tessaline %f' "$DESKTOP" || fail "the desktop entry does not hand the file to tessaline"
  grep -qx 'Icon=tessaline' "$DESKTOP" || fail "the desktop entry names another icon"
  # One file type, the same in the entry, the type definition and the metadata.
  type="$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$MIME")"
  [ -n "$type" ] || fail "the type definition names no type"
  grep -qx "MimeType=$type;" "$DESKTOP" || fail "the desktop entry does not open $type"
  grep -q "<mediatype>$type</mediatype>" "$METAINFO" || fail "the metadata does not name $type"
  grep -q "<release version=\"$VERSION\"" "$METAINFO" || fail "the metadata's release is not $VERSION"

  if have update-mime-database; then
    cp -r "$SHARE/mime" mime
    update-mime-database mime >/dev/null 2>&1 || fail "update-mime-database refused the type"
    grep -q ":$type:\*\.csl" mime/globs2 || fail "*.csl is not $type"
    grep -q '<comment>Console data file</comment>' "mime/$type.xml" || fail "the type is not called a console data file"
  fi
  if have desktop-file-validate; then
    desktop-file-validate "$DESKTOP" >validate.log 2>&1 || { cat validate.log >&2; fail "desktop-file-validate"; }
    [ ! -s validate.log ] || { cat validate.log >&2; fail "desktop-file-validate has remarks"; }
  fi
  if have appstreamcli; then
    # The whole tree: the metadata, and the desktop entry it launches.
    appstreamcli validate-tree --no-net "$MOVED" >appstream.log 2>&1 \
      || { cat appstream.log >&2; fail "appstreamcli validate-tree"; }
  fi

  if [ "$PNG_ICONS" = 1 ]; then
    for size in 48 128 256; do
      png="$SHARE/icons/hicolor/${size}x${size}/apps/tessaline.png"
      [ -f "$png" ] || fail "no $png"
      # The signature, then the IHDR chunk: width and height, big-endian.
      [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$png is no PNG"
      read -r width height < <(od -An -tu1 -j16 -N8 "$png" \
        | awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
      [ "$width" = "$size" ] && [ "$height" = "$size" ] || fail "$png is ${width}x${height}"
    done
  fi
else
  [ ! -e "$MOVED/share/applications" ] || fail "a desktop entry without the window program"
fi

echo "install: passed"
