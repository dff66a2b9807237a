# What the scripts that run tessaline-cli against the simulated inverter
# share: their first arguments, wine, and the simulators. Sourced, not run:
#
#   source drive-common.sh CLI SIMINVERTER MKDEMO [WINEPREFIX]
#
# CLI          tessaline-cli.exe (run under wine) or a native tessaline-cli
# SIMINVERTER  the native tessaline-siminverter
# MKDEMO       the native tessaline-mkdemo (the installation the CLI reads)
# WINEPREFIX   for an .exe: the wine prefix to use (made on first use). Each
#              simulator's pseudo-terminal is linked as a COM port in its
#              dosdevices (start_sim), so that the program opens it as COMn;
#              a native CLI finds it through TESSALINE_COMn instead.
#
# Leaves: CLI SIM MKDEMO WORK (a folder removed at exit) RUN (the words
# before the program: wine or nothing), XDG_CONFIG_HOME inside WORK, and
# the functions below. The sourcing script sets -euo pipefail itself.

[ $# -ge 3 ] || {
  sed -n '2,/^set -euo/p' "$0" | sed '$d' >&2
  exit 2
}
CLI="$(realpath "$1")"
SIM="$(realpath "$2")"
MKDEMO="$(realpath "$3")"
WORK="$(mktemp -d)"
export XDG_CONFIG_HOME="$WORK/config"
RUN=()
SIM_PIDS=()
COM_LINKS=()
if [[ "$CLI" == *.exe ]]; then
  [ $# -ge 4 ] || {
    echo "an .exe needs a WINEPREFIX" >&2
    exit 2
  }
  WINEPREFIX="$(realpath -m "$4")"
  export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  RUN=(wine)
  [ -f "$WINEPREFIX/system.reg" ] || {
    wineboot --init >/dev/null 2>&1
    wineserver --wait
  }
fi

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# A path as the program takes it: Z:\... under wine.
arg() { if [ ${#RUN[@]} -gt 0 ]; then printf 'Z:%s' "${1//\//\\}"; else printf '%s' "$1"; fi; }

# map_com N PATH: the program opens PATH as COMN.
map_com() {
  if [ ${#RUN[@]} -gt 0 ]; then
    ln -sfn "$2" "$WINEPREFIX/dosdevices/com$1"
    COM_LINKS+=("$WINEPREFIX/dosdevices/com$1")
  else
    export "TESSALINE_COM$1=$2"
  fi
}

# start_sim N DATASET [options]: a simulator holding DATASET, reachable as
# COMN; its stdout and stderr in $WORK/comN.out and $WORK/comN.err.
start_sim() {
  local number="$1" dataSet="$2"
  shift 2
  "$SIM" "$@" "$dataSet" >"$WORK/com$number.out" 2>"$WORK/com$number.err" &
  SIM_PIDS+=($!)
  local pts=""
  for _ in $(seq 1 100); do
    pts="$(head -n1 "$WORK/com$number.out" 2>/dev/null || true)"
    [ -n "$pts" ] && break
    sleep 0.1
  done
  [[ "$pts" == /dev/* ]] || fail "the simulated inverter for COM$number did not start"
  map_com "$number" "$pts"
}

# The words the simulator of COMN has stored so far (empty before the first).
words_written() { grep -o '^[0-9]* words written' "$WORK/com$1.err" | tail -n1 | cut -d' ' -f1; }

# Ends wine, then the simulators, and removes what was made. wine keeps a
# line open until its server ends, and a simulator that closes the line
# under a running server upsets it: the server goes first.
drive_cleanup() {
  if [ ${#RUN[@]} -gt 0 ]; then
    wineserver -k 2>/dev/null || true
    timeout 20 wineserver -w 2>/dev/null || true
  fi
  local pid
  for pid in "${SIM_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  for link in "${COM_LINKS[@]}"; do rm -f "$link"; done
  rm -rf "$WORK"
}
# A run ended from outside (a time limit) cleans up as well.
trap 'exit 143' TERM
