#!/usr/bin/env bash
# read, write and compare-drive end to end through a real serial port: the
# command line program on one side of a pseudo-terminal, the simulated
# inverter on the other.
#
#   drive-e2e.sh CLI SIMINVERTER MKDEMO [WINEPREFIX]
#
# The arguments: see drive-common.sh. Three simulators serve for the whole
# run, so that wine starts once: COM5 answers at once, COM6 refuses word 3,
# COM7 paces the line at 9600 baud.
#
# Checks: a full read equal to the simulator's data set; a write of the
# changed words only, which compare-drive then finds equal; a refused word
# (exit 6); Ctrl+C in the middle of a write (exit 5, with its log).
set -euo pipefail
source "$(dirname "$0")/drive-common.sh"
trap drive_cleanup EXIT

# cli STATUS args...: runs the program in $WORK, its output in out.txt and
# err.txt, and checks its exit status.
cli() {
  local want="$1"; shift
  local got=0
  (cd "$WORK" && "${RUN[@]}" "$CLI" "$@" --install "$(arg "$WORK/install")" >out.txt 2>err.txt) || got=$?
  [ "$got" -eq "$want" ] || { cat "$WORK/err.txt" >&2; fail "exit $got, not $want: $*"; }
}

"$MKDEMO" "$WORK/install" >/dev/null
cli 0 new --model QM71 --capacity 1R122 --rom 01-A1 -o held.csl
cp "$WORK/held.csl" "$WORK/changed.csl"
cli 0 set changed.csl Fund.-3=12.5
start_sim 5 "$WORK/held.csl"
start_sim 6 "$WORK/held.csl" --nak word:3=E
start_sim 7 "$WORK/held.csl" --baud 9600

# ---- a full read holds the drive's data set
cli 0 read --port COM5 -o got.csl
cli 0 diff held.csl got.csl

# ---- a write of the changed words only; the drive then holds the file
cli 1 compare-drive changed.csl --port COM5
grep -q $'^Fund.-3\t12.5\t10.0' "$WORK/out.txt" || fail "compare-drive did not name Fund.-3"
cli 0 write changed.csl --port COM5 --changed-only
[ -f "$WORK/writelog.txt" ] || fail "the write left no log"
cli 0 compare-drive changed.csl --port COM5
[ "$(words_written 5)" = 1 ] || fail "$(words_written 5) words written, not 1"

# ---- a word the drive refuses
cli 6 write changed.csl --port COM6 --changed-only
grep -q '^Fund.-3 .*: Upper limit error' "$WORK/err.txt" || fail "the refused word is not listed"

# ---- Ctrl+C in the middle of a write, on the paced line: the write stops
# between two words, and its log says how far it came. SIGINT goes to the
# program's own process (exec: no shell between; wine runs the program in
# the process it was started as), and wine hands it to the program as the
# console's Ctrl+C.
rm -f "$WORK/writelog.txt"
(cd "$WORK" && exec "${RUN[@]}" "$CLI" write changed.csl --port COM7 --from C --to C \
  --install "$(arg "$WORK/install")" >out.txt 2>err.txt) &
WRITER=$!
for _ in $(seq 1 300); do
  [ -n "$(words_written 7)" ] && break
  sleep 0.1
done
[ -n "$(words_written 7)" ] || fail "the write did not begin"
kill -INT "$WRITER"
status=0
wait "$WRITER" || status=$?
[ "$status" -eq 5 ] || { cat "$WORK/err.txt" >&2; fail "exit $status after Ctrl+C, not 5"; }
written="$(words_written 7)"
[ "$written" -gt 0 ] && [ "$written" -lt 48 ] || fail "$written of 48 words written"
grep -q "Cancelled: $written of 48 words written." "$WORK/writelog.txt" || fail "the log does not tell the stop"

echo "drive end to end: ok"
