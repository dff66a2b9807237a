#!/usr/bin/env bash
# Installs the build folder $1 into a fresh prefix with the demo tables,
# takes the write permission off it as a system installation is to its
# users, and runs the installed tessaline-cli as a user who may not write
# there: as root through `runuser -u nobody`, otherwise as the user running
# the test. Data sets in the user's own folder are made, changed and shown;
# a table of a further ROM version, in the folder where the program adds
# tables for such a user ($XDG_DATA_HOME/tessaline/MODEL/), is then found by
# the table lookup; and the installation stays as it was.
set -euo pipefail

BUILD="$(realpath "$1")"
WORK="$(mktemp -d)"
cleanup() {
  chmod -R u+w "$WORK" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT
chmod 755 "$WORK"
cd "$WORK"

fail() { echo "FAIL: $*" >&2; exit 1; }

PREFIX="$WORK/prefix"
cmake --install "$BUILD" --prefix "$PREFIX" >install.log 2>&1 || { cat install.log >&2; fail "cmake --install"; }
cmake --install "$BUILD" --prefix "$PREFIX" --component demo >>install.log 2>&1 \
  || { cat install.log >&2; fail "demo component"; }
APP="$PREFIX/lib/tessaline"
CLI="$PREFIX/bin/tessaline-cli"
chmod -R a-w,a+rX "$PREFIX"
listing() { (cd "$PREFIX" && find . -printf '%p %y %s %m %T@\n' | sort); }
listing >before.txt

HOMEDIR="$WORK/home"
mkdir -p "$HOMEDIR"
if [ "$(id -u)" -eq 0 ]; then
  chown nobody "$HOMEDIR"
  runas=(runuser -u nobody --)
else
  runas=()
fi
# as_user COMMAND...: run in the user's home with a clean environment of
# their own; output in out.txt and err.txt (in the test's folder).
as_user() {
  local status=0
  "${runas[@]}" env -i PATH="$PATH" HOME="$HOMEDIR" XDG_DATA_HOME="$HOMEDIR/data" \
    XDG_CONFIG_HOME="$HOMEDIR/config" XDG_STATE_HOME="$HOMEDIR/state" LC_ALL=C \
    ASAN_OPTIONS="${ASAN_OPTIONS:-}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" \
    env -C "$HOMEDIR" "$@" >"$WORK/out.txt" 2>"$WORK/err.txt" || status=$?
  return "$status"
}
expect() {
  local want="$1"; shift
  local got=0
  as_user "$@" || got=$?
  [ "$got" -eq "$want" ] || { cat err.txt >&2; fail "exit $got, not $want: $*"; }
}

# The user really may not write into the installation.
if as_user touch "$APP/probe"; then fail "the user may write into the installation"; fi

# ---- data sets in the user's own folder
expect 0 "$CLI" new --model QM71 --mode 0 --capacity 1R122 --rom 01-A1 -o pump.csl
[ -f "$HOMEDIR/pump.csl" ] && [ -f "$HOMEDIR/pump.csv" ] || fail "new wrote no .csl and .csv"
expect 0 "$CLI" set pump.csl A-3=220
expect 0 "$CLI" show pump.csl --area A
[ "$(awk -F'\t' '$1 == "A-3" { print $5 }' out.txt)" = 220 ] || fail "A-3 not set"

# ---- a table of a further ROM version, added for this user
status=0
as_user "$CLI" new --model QM71 --mode 0 --capacity 1R122 --rom 01-A3 -o later.csl || status=$?
[ "$status" -ne 0 ] || fail "a table of 01-A3 was found before it was added"
as_user mkdir -p "$HOMEDIR/data/tessaline/QM71" || fail "the user's table folder"
as_user cp "$APP/QM71/QM71S01-A1.bkh" "$HOMEDIR/data/tessaline/QM71/QM71S01-A3.bkh" || fail "adding the table"
expect 0 "$CLI" new --model QM71 --mode 0 --capacity 1R122 --rom 01-A3 -o later.csl
head -1 "$HOMEDIR/later.csv" | grep -q '^QM71,Sensorless,1R122,01-A3' || fail "the new data set is not of 01-A3"

# ---- the installation is as it was: no model folder made, no file written
listing >after.txt
diff before.txt after.txt >&2 || fail "the installation changed"
echo "install as a user: passed"
