#!/usr/bin/env bash
# tessaline-cli.exe ($1, run under wine) and the Linux tessaline-cli ($2)
# make the same data sets from the same inputs, byte for byte, on a demo
# installation made by tessaline-mkdemo ($3).
set -euo pipefail

WINCLI="$(realpath "$1")"
CLI="$(realpath "$2")"
MKDEMO="$(realpath "$3")"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
export XDG_CONFIG_HOME="$WORK/config"
export LC_ALL=C
unset LANG LC_MESSAGES || true

fail() { echo "FAIL: $*" >&2; exit 1; }
"$MKDEMO" install >/dev/null

# run SYSTEM ARGS...: tessaline-cli of one system, in its own folder (wine
# finds the relative paths from there as Linux does).
run() {
  local system="$1"; shift
  mkdir -p "$system"
  if [ "$system" = windows ]; then
    # wine reads the arguments in the locale's character set.
    (cd "$system" && LC_ALL=C.UTF-8 wine "$WINCLI" "$@" --lang en) >"$system.out" 2>"$system.err" || { cat "$system.err" >&2; fail "windows: $*"; }
  else
    (cd "$system" && "$CLI" "$@" --lang en) >"$system.out" 2>"$system.err" || { cat "$system.err" >&2; fail "linux: $*"; }
  fi
}

# Each case: a new data set, then a change of values saved over it.
cases=(
  "pump QM71 0 1R122 01-A1"
  "ポンプ設定 QM71 0 1R122 01-A1"
)
for entry in "${cases[@]}"; do
  read -r name model mode capacity rom <<<"$entry"
  for system in linux windows; do
    run "$system" new --install ../install --model "$model" --mode "$mode" --capacity "$capacity" --rom "$rom" -o "$name.csl"
    run "$system" set "$name.csl" --install ../install A-3=220 Fund.-0=50.00
  done
  for suffix in csl csv; do
    [ -f "linux/$name.$suffix" ] || fail "linux made no $name.$suffix"
    cmp "linux/$name.$suffix" "windows/$name.$suffix" || fail "$name.$suffix differs"
  done
  cmp linux.out windows.out || fail "the output of set differs for $name"
done
echo "same files: ${#cases[@]} data sets"
