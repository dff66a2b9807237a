#!/usr/bin/env bash
# How a full read of the drive compares with the line's own time: compare-
# drive (the identity and the whole image, nothing saved) against the
# simulated inverter pacing the line at 9600 baud.
#
#   read-figures.sh CLI SIMINVERTER MKDEMO [WINEPREFIX] [RUNS]
#
# The arguments are those of drive-e2e.sh; RUNS reads are measured (3).
# Prints, per read and as the median of the runs:
#   wall_s         the read's time: the program's run less a run that stops
#                  where the port fails to open (start, tables, data set)
#   wire_s         every request and reply character at 960 a second
#   wall_over_wire goal: 1.05 at most
#   cpu_share      processor time of the program (and, under wine, of the
#                  wine server) over wall_s, both less the same start-up run;
#                  goal: 5 % at most
set -euo pipefail

[ $# -ge 3 ] || { sed -n '2,17p' "$0" >&2; exit 2; }
CLI="$(realpath "$1")"
SIM="$(realpath "$2")"
MKDEMO="$(realpath "$3")"
RUNS="${5:-3}"
WORK="$(mktemp -d)"
SIM_PID=""
SERVER_PID=""
RUN=()
if [[ "$CLI" == *.exe ]]; then
  [ $# -ge 4 ] || { echo "an .exe needs a WINEPREFIX" >&2; exit 2; }
  export WINEPREFIX="$(realpath -m "$4")" WINEDEBUG=-all
  RUN=(wine)
  [ -d "$WINEPREFIX/dosdevices" ] || wineboot -i >/dev/null 2>&1
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  # A server of our own, so that its processor time can be counted.
  wineserver -f -p &
  SERVER_PID=$!
fi
cleanup() {
  if [ -n "$SERVER_PID" ]; then
    wineserver -k 2>/dev/null || true
    wait "$SERVER_PID" 2>/dev/null || true
    rm -f "$WINEPREFIX/dosdevices/com5" "$WINEPREFIX/dosdevices/com9"
  fi
  if [ -n "$SIM_PID" ]; then kill "$SIM_PID" 2>/dev/null || true; wait "$SIM_PID" 2>/dev/null || true; fi
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
arg() { if [ ${#RUN[@]} -gt 0 ]; then printf 'Z:%s' "${1//\//\\}"; else printf '%s' "$1"; fi; }

# Processor seconds of the wine server so far (0 natively).
server_cpu() {
  [ -n "$SERVER_PID" ] || { echo 0; return; }
  awk -v hz="$(getconf CLK_TCK)" '{ print ($14 + $15) / hz }' "/proc/$SERVER_PID/stat"
}

# measure STATUS args...: one run of the program; prints "wall cpu".
measure() {
  local want="$1"; shift
  local times="$WORK/times.txt" got=0 server_before server_after
  server_before="$(server_cpu)"
  # bash's time: real, then the user and system time of the run.
  { TIMEFORMAT='%R %U %S'; time (cd "$WORK" && "${RUN[@]}" "$CLI" "$@" --install "$(arg "$WORK/install")" \
      >out.txt 2>err.txt) ; } 2>"$times" || got=$?
  [ "$got" -eq "$want" ] || { cat "$WORK/err.txt" >&2; fail "exit $got, not $want: $*"; }
  server_after="$(server_cpu)"
  awk -v sb="$server_before" -v sa="$server_after" '{ print $1, $2 + $3 + sa - sb }' "$times"
}

"$MKDEMO" "$WORK/install" >/dev/null
(cd "$WORK" && "${RUN[@]}" "$CLI" new --model QM71 --capacity 1R122 --rom 01-A1 -o held.csl \
  --install "$(arg "$WORK/install")" >/dev/null) || fail "new"

"$SIM" --baud 9600 "$WORK/held.csl" >"$WORK/sim.out" 2>"$WORK/sim.err" &
SIM_PID=$!
for _ in $(seq 1 100); do [ -s "$WORK/sim.out" ] && break; sleep 0.1; done
pts="$(head -n1 "$WORK/sim.out")"
[[ "$pts" == /dev/* ]] || fail "the simulated inverter did not start"
if [ ${#RUN[@]} -gt 0 ]; then
  ln -sfn "$pts" "$WINEPREFIX/dosdevices/com5"
  ln -sfn "$WORK/no-such-device" "$WINEPREFIX/dosdevices/com9"
else
  export TESSALINE_COM5="$pts" TESSALINE_COM9="$WORK/no-such-device"
fi

# The line's own time: 14 identity requests (ten of 10 bytes, four of 4)
# and the image in chunks of 232 bytes (the last 170). A request is 17
# characters; a reply to n bytes is 17 + 2n.
chars=0
for n in 10 10 10 10 10 10 10 10 10 10 4 4 4 4 232 232 232 232 232 170; do
  chars=$((chars + 17 + 17 + 2 * n))
done
wire="$(awk -v c="$chars" 'BEGIN { printf "%.3f", c / 960 }')"

measure 0 compare-drive held.csl --port COM5 >/dev/null # warms the caches and the server
printf 'run\twall_s\twire_s\twall_over_wire\tcpu_share\n'
results="$WORK/results.txt"
for run in $(seq 1 "$RUNS"); do
  read -r base_wall base_cpu < <(measure 4 compare-drive held.csl --port COM9)
  read -r wall cpu < <(measure 0 compare-drive held.csl --port COM5)
  awk -v r="$run" -v w="$wall" -v c="$cpu" -v bw="$base_wall" -v bc="$base_cpu" -v wire="$wire" 'BEGIN {
    read = w - bw; used = c - bc; if (used < 0) used = 0
    printf "%s\t%.3f\t%s\t%.3f\t%.1f%%\n", r, read, wire, read / wire, 100 * used / read }' | tee -a "$results"
done
sort -t$'\t' -k4,4n "$results" | awk -F'\t' -v n="$RUNS" 'NR == int((n + 1) / 2) {
  printf "median\t%s\t%s\t%s\t%s\n", $2, $3, $4, $5 }'
