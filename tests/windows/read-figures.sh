#!/usr/bin/env bash
# How a full read of the drive compares with the line's own time: compare-
# drive (the identity and the whole image, nothing saved) against the
# simulated inverter pacing the line at 9600 baud.
#
#   read-figures.sh CLI SIMINVERTER MKDEMO [WINEPREFIX] [RUNS]
#
# The first arguments: see drive-common.sh (natively, WINEPREFIX is taken
# but not used); RUNS reads are measured (3). Prints, per read and as the
# median of the runs:
#   read_s          the program's run less a run that stops where the port
#                   fails to open (start, tables, data set)
#   settle_s        the wait the read begins with once the port is open, one
#                   to two seconds by the clock: from the moment the port was
#                   opened to the first request. The opening is taken as the
#                   start-up run's length after the start, held within the
#                   clock second the wait counts from: the wait ends as the
#                   second after the next one begins, at the first request
#   span_s          the line's busy span, as the simulator tells it: from the
#                   first request's first character to the last reply's last
#   wire_s          every request and reply character at 960 a second
#   span_over_wire  goal: 1.05 at most (the 1 ms pause after each exchange
#                   counts as the link's own, as in the transfer benchmark)
#   read_over_floor read_s over the least the protocol allows: the wire time,
#                   the settle wait and the 1 ms pauses
#   cpu_share       processor time over read_s: the program's and, under
#                   wine, that of the wine server and its services; both less
#                   the same start-up run. Goal: 5 % at most
set -euo pipefail
source "$(dirname "$0")/drive-common.sh"
trap drive_cleanup EXIT
RUNS="${5:-3}"
# Times are read and written with a decimal point.
export LC_ALL=C

if [ ${#RUN[@]} -gt 0 ]; then
  # A server that stays between the runs, so that its time is counted.
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  wineserver -p
fi

# Processor seconds so far of the processes of this wine prefix that outlive
# a run: the server and its services, not the simulator (0 natively).
wine_cpu() {
  [ ${#RUN[@]} -gt 0 ] || { echo 0; return; }
  local ticks=0 dir stat
  for dir in /proc/[0-9]*; do
    [[ " ${SIM_PIDS[*]} " != *" ${dir#/proc/} "* ]] || continue
    grep -qzx "WINEPREFIX=$WINEPREFIX" "$dir/environ" 2>/dev/null || continue
    stat="$(cat "$dir/stat" 2>/dev/null)" || continue
    stat="${stat##*) }" # past the name, which may hold spaces
    read -r -a fields <<<"$stat"
    ticks=$((ticks + fields[11] + fields[12]))
  done
  awk -v t="$ticks" -v hz="$(getconf CLK_TCK)" 'BEGIN { print t / hz }'
}

# measure STATUS args...: one run of the program; writes "start wall cpu",
# its start in seconds since the epoch, to $WORK/measured.txt.
measure() {
  local want="$1"; shift
  local times="$WORK/times.txt" got=0 before after start
  before="$(wine_cpu)"
  start="$EPOCHREALTIME"
  # bash's time: real, then the user and system time of the run.
  { TIMEFORMAT='%R %U %S'; time (cd "$WORK" && "${RUN[@]}" "$CLI" "$@" --install "$(arg "$WORK/install")" \
      >out.txt 2>err.txt) ; } 2>"$times" || got=$?
  [ "$got" -eq "$want" ] || { cat "$WORK/err.txt" >&2; fail "exit $got, not $want: $*"; }
  after="$(wine_cpu)"
  awk -v s="$start" -v b="$before" -v a="$after" '{ print s, $1, $2 + $3 + a - b }' "$times" >"$WORK/measured.txt"
}

"$MKDEMO" "$WORK/install" >/dev/null
(cd "$WORK" && "${RUN[@]}" "$CLI" new --model QM71 --capacity 1R122 --rom 01-A1 -o held.csl \
  --install "$(arg "$WORK/install")" >/dev/null) || fail "new"
start_sim 5 "$WORK/held.csl" --baud 9600 --timing
map_com 9 "$WORK/no-such-device"

# The line's own time: 14 identity requests (ten of 10 bytes, four of 4)
# and the image in chunks of 232 bytes (the last 170). A request is 17
# characters; a reply to n bytes is 17 + 2n.
chars=0
exchanges=0
for n in 10 10 10 10 10 10 10 10 10 10 4 4 4 4 232 232 232 232 232 170; do
  chars=$((chars + 17 + 17 + 2 * n))
  exchanges=$((exchanges + 1))
done
wire="$(awk -v c="$chars" 'BEGIN { printf "%.3f", c / 960 }')"

measure 0 compare-drive held.csl --port COM5 # warms the caches and the server
columns="read_s settle_s span_s wire_s span_over_wire read_over_floor cpu_share"
printf 'run\t%s\n' "${columns// /$'\t'}"
results="$WORK/results.txt"
for run in $(seq 1 "$RUNS"); do
  measure 4 compare-drive held.csl --port COM9
  read -r _ base_wall base_cpu <"$WORK/measured.txt"
  seen="$(grep -c '^exchange ' "$WORK/com5.err" || true)"
  measure 0 compare-drive held.csl --port COM5
  read -r start wall cpu <"$WORK/measured.txt"
  # The exchanges of this read: the first request's start, the last reply's end.
  read -r count first last < <(grep '^exchange ' "$WORK/com5.err" | tail -n +"$((seen + 1))" |
    awk 'NR == 1 { first = $2 } { last = $3 } END { print NR, first, last }')
  [ "$count" -eq "$exchanges" ] || fail "$count exchanges, not $exchanges"
  awk -v r="$run" -v s="$start" -v w="$wall" -v c="$cpu" -v bw="$base_wall" -v bc="$base_cpu" -v first="$first" \
    -v last="$last" -v wire="$wire" -v n="$exchanges" 'BEGIN {
    read = w - bw; used = c - bc; if (used < 0) used = 0
    opened = s + bw; counted = int(first) - 2
    if (opened < counted) opened = counted
    if (opened > counted + 1) opened = counted + 1
    settle = first - opened; span = last - first
    printf "%s\t%.3f\t%.3f\t%.3f\t%s\t%.3f\t%.3f\t%.1f%%\n", r, read, settle, span, wire, span / wire,
      read / (wire + settle + n * 0.001), 100 * used / read }' | tee -a "$results"
done
# Each column's own median.
mid=$(((RUNS + 1) / 2))
line="median"
for column in $(seq 2 8); do
  line+=$'\t'"$(cut -f"$column" "$results" | sort -n | sed -n "${mid}p")"
done
echo "$line"
