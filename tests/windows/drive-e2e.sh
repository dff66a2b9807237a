#!/usr/bin/env bash
# read, write and compare-drive end to end through a real serial port: the
# command line program on one side of a pseudo-terminal, the simulated
# inverter on the other.
#
#   drive-e2e.sh CLI SIMINVERTER MKDEMO [WINEPREFIX]
#
# CLI          tessaline-cli.exe (run under wine) or a native tessaline-cli
# SIMINVERTER  the native tessaline-siminverter
# MKDEMO       the native tessaline-mkdemo (the installation the CLI reads)
# WINEPREFIX   for an .exe: the wine prefix to use (made on first use); its
#              dosdevices/com5 is linked to the simulator's pseudo-terminal,
#              so the program opens the simulator as COM5. A native CLI
#              finds it through TESSALINE_COM5 instead.
#
# Checks: a full read equal to the simulator's data set; a write of the
# changed words only, which compare-drive then finds equal; a refused word
# (exit 6); Ctrl+C in the middle of a write (exit 5, with its log).
set -euo pipefail

[ $# -ge 3 ] || { sed -n '2,17p' "$0" >&2; exit 2; }
CLI="$(realpath "$1")"
SIM="$(realpath "$2")"
MKDEMO="$(realpath "$3")"
WORK="$(mktemp -d)"
SIM_PID=""
RUN=()
if [[ "$CLI" == *.exe ]]; then
  [ $# -ge 4 ] || { echo "an .exe needs a WINEPREFIX" >&2; exit 2; }
  export WINEPREFIX="$(realpath -m "$4")" WINEDEBUG=-all
  RUN=(wine)
  [ -d "$WINEPREFIX/dosdevices" ] || wineboot -i >/dev/null 2>&1
fi

# wine keeps the line open until its server ends; a simulator that closes
# the line under it upsets the server. A server kept running is ended.
wine_done() { [ ${#RUN[@]} -eq 0 ] || timeout 20 wineserver -w || wineserver -k || true; }

cleanup() {
  wine_done
  stop_drive
  [ ${#RUN[@]} -eq 0 ] || rm -f "$WINEPREFIX/dosdevices/com5"
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A path as the program takes it: Z:\... under wine.
arg() { if [ ${#RUN[@]} -gt 0 ]; then printf 'Z:%s' "${1//\//\\}"; else printf '%s' "$1"; fi; }

# cli STATUS args...: runs the program in $WORK, its output in out.txt and
# err.txt, and checks its exit status.
cli() {
  local want="$1"; shift
  local got=0
  (cd "$WORK" && "${RUN[@]}" "$CLI" "$@" --install "$(arg "$WORK/install")" >out.txt 2>err.txt) || got=$?
  [ "$got" -eq "$want" ] || { cat "$WORK/err.txt" >&2; fail "exit $got, not $want: $*"; }
}

# start_drive [options]: the simulator on held.csl, reachable as COM5.
start_drive() {
  "$SIM" "$@" "$WORK/held.csl" >"$WORK/sim.out" 2>"$WORK/sim.err" &
  SIM_PID=$!
  local pts=""
  for _ in $(seq 1 100); do
    pts="$(head -n1 "$WORK/sim.out" 2>/dev/null || true)"
    [ -n "$pts" ] && break
    sleep 0.1
  done
  [[ "$pts" == /dev/* ]] || fail "the simulated inverter did not start"
  if [ ${#RUN[@]} -gt 0 ]; then
    ln -sfn "$pts" "$WINEPREFIX/dosdevices/com5"
  else
    export TESSALINE_COM5="$pts"
  fi
}

# stop_drive: ends the simulator; prints the words it stored.
stop_drive() {
  [ -n "$SIM_PID" ] || return 0
  wine_done
  kill "$SIM_PID" 2>/dev/null || true
  wait "$SIM_PID" 2>/dev/null || true
  SIM_PID=""
}
words_written() { grep -o '^[0-9]* words written' "$WORK/sim.err" | tail -n1 | cut -d' ' -f1; }

"$MKDEMO" "$WORK/install" >/dev/null
cli 0 new --model QM71 --capacity 1R122 --rom 01-A1 -o held.csl
cli 0 new --model QM71 --capacity 1R122 --rom 01-A1 -o changed.csl
cli 0 set changed.csl Fund.-3=12.5

# ---- a full read holds the drive's data set
start_drive --baud 9600
cli 0 read --port COM5 -o got.csl
cli 0 show held.csl
mv "$WORK/out.txt" "$WORK/held.txt"
cli 0 show got.csl
cmp -s "$WORK/out.txt" "$WORK/held.txt" || fail "the read data set differs from the drive's"
cli 0 compare-drive got.csl --port COM5
stop_drive

# ---- a write of the changed words only; the drive then holds the file
start_drive
cli 1 compare-drive changed.csl --port COM5
grep -q $'^Fund.-3\t12.5\t10.0' "$WORK/out.txt" || fail "compare-drive did not name Fund.-3"
cli 0 write changed.csl --port COM5 --changed-only
[ -f "$WORK/writelog.txt" ] || fail "the write left no log"
cli 0 compare-drive changed.csl --port COM5
stop_drive
[ "$(words_written)" = 1 ] || fail "$(words_written) words written, not 1"

# ---- a word the drive refuses
start_drive --nak word:3=E
cli 6 write changed.csl --port COM5 --changed-only
grep -q '^Fund.-3 .*: Upper limit error' "$WORK/err.txt" || fail "the refused word is not listed"
stop_drive

# ---- Ctrl+C in the middle of a write: the write stops between two words,
# and its log says how far it came. Under wine the signal reaches the
# program as the console's Ctrl+C.
start_drive --baud 9600
rm -f "$WORK/writelog.txt"
(cd "$WORK" && exec "${RUN[@]}" "$CLI" write changed.csl --port COM5 --from C --to C \
  --install "$(arg "$WORK/install")" >out.txt 2>err.txt) &
WRITER=$!
for _ in $(seq 1 300); do
  [ -n "$(words_written)" ] && break
  sleep 0.1
done
[ -n "$(words_written)" ] || fail "the write did not begin"
kill -INT "$WRITER"
status=0
wait "$WRITER" || status=$?
[ "$status" -eq 5 ] || { cat "$WORK/err.txt" >&2; fail "exit $status after Ctrl+C, not 5"; }
stop_drive
written="$(words_written)"
[ "$written" -gt 0 ] && [ "$written" -lt 48 ] || fail "$written of 48 words written"
grep -q "Cancelled: $written of 48 words written." "$WORK/writelog.txt" || fail "the log does not tell the stop"

echo "drive end to end: ok"
