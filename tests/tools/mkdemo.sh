#!/usr/bin/env bash
# Runs the demo installation generator ($1) into a fresh folder twice and
# checks the layout an installation needs, that the second run changes
# nothing, and that the options reach FileVersion.INI.
set -euo pipefail

MKDEMO="$1"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
DEMO="$WORK/install"

fail() { echo "FAIL: $*" >&2; exit 1; }

"$MKDEMO" "$DEMO" || fail "first run"

[ -f "$DEMO/FileVersion.INI" ] || fail "no FileVersion.INI"
for model in QM71 LX71RTP LX71 LX71ht QM71N; do
  [ -d "$DEMO/$model" ] || fail "no folder $model"
  count=$(find "$DEMO/$model" -maxdepth 1 -name "$model*.bkh" | wc -l)
  [ "$count" -ge 3 ] || fail "$model has only $count tables"
done
[ -f "$DEMO/QM71/QM71S01-A1.bkh" ] || fail "no QM71S01-A1.bkh"
[ -f "$DEMO/QM71/QM71O01-B1.bkh" ] || fail "no V/F table QM71O01-B1.bkh"
[ -f "$DEMO/LX71RTP/LX71RTPP00-B0.bkh" ] || fail "no LX71RTPP00-B0.bkh"

for name in MSEL_DEFa8 MSEL_DEFa9 MSEL_DEFb1 MSEL_DEF MSEL_DEFlrb0 MSEL_DEFlrb1 MSEL_DEFlrc1 \
  MSEL_DEFlr02a1 MSEL_DEFlr03a1 MSEL_DEFqr MSEL_DEFlx MSEL_DEFlxht MSEL_DEFlr75 MSEL_DEF_Pr \
  MSEL_DEF_Pr_2 MSEL_DEF_73N; do
  [ -f "$DEMO/MSEL/$name.bkh" ] || fail "no MSEL/$name.bkh"
done
[ "$(find "$DEMO/MSEL" -type f | wc -l)" -eq 16 ] || fail "MSEL holds other files"

for base in QM71_K LX71RTP_K LX71htK LX75RTP QM71RTP_K; do
  matrix="${base}ConvertMatrix.rcm"
  groups="${base}GroupSet.txt"
  [ -f "$DEMO/$matrix" ] || fail "no $matrix"
  [ -f "$DEMO/$groups" ] || fail "no $groups"
done

# Tables: a title, a heading and one record per slot, each line ending in CR LF.
lines=$(wc -l <"$DEMO/QM71/QM71S01-A1.bkh")
[ "$lines" -eq 667 ] || fail "QM71S01-A1.bkh has $lines lines"
crlf=$(grep -c $'\r$' "$DEMO/QM71/QM71S01-A1.bkh")
[ "$crlf" -eq 667 ] || fail "QM71S01-A1.bkh has $crlf CR LF lines"

grep -q $'^used=0\r$' "$DEMO/FileVersion.INI" || fail "special functions not off"
grep -q $'^Value=0\r$' "$DEMO/FileVersion.INI" || fail "View not off"

# A second run into the same folder changes no file.
before="$WORK/before.txt"
after="$WORK/after.txt"
(cd "$DEMO" && find . -type f -printf '%p %s %T@\n' | sort) >"$before"
sleep 1
"$MKDEMO" "$DEMO" || fail "second run"
(cd "$DEMO" && find . -type f -printf '%p %s %T@\n' | sort) >"$after"
diff -u "$before" "$after" || fail "the second run changed files"

# A file the user added stays.
touch "$DEMO/QM71/QM71S01-A9.bkh"
"$MKDEMO" "$DEMO" --view --special || fail "run with options"
[ -f "$DEMO/QM71/QM71S01-A9.bkh" ] || fail "an added table was removed"
grep -q $'^used=1\r$' "$DEMO/FileVersion.INI" || fail "--special not written"
grep -q $'^Value=1\r$' "$DEMO/FileVersion.INI" || fail "--view not written"

# Usage errors.
if "$MKDEMO" 2>/dev/null; then fail "no folder accepted"; fi
if "$MKDEMO" "$DEMO" --bogus 2>/dev/null; then fail "unknown option accepted"; fi
