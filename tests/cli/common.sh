# What the command line's script tests share, sourced by each: the program
# ($1) and the demo maker ($2) as absolute paths, a working folder removed
# on exit ($WORK, the current folder) with the demo's place in it ($DEMO),
# and the two checks.
CLI="$(realpath "$1")"
MKDEMO="$(realpath "$2")"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
DEMO="$WORK/install"
cd "$WORK"

fail() { echo "FAIL: $*" >&2; exit 1; }
# expect STATUS command...: runs the command with its output in out.txt and
# err.txt and checks its exit status.
expect() {
  local want="$1"; shift
  local got=0
  "$@" >out.txt 2>err.txt || got=$?
  [ "$got" -eq "$want" ] || { cat err.txt >&2; fail "exit $got, not $want: $*"; }
}
