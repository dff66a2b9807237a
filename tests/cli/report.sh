#!/usr/bin/env bash
# Makes commissioning reports with the real tessaline-cli ($1) from data sets
# of a demo installation made by tessaline-mkdemo ($2), in English and in
# Japanese, and reads them back with pdftotext and pdfinfo: the header
# fields, every changed code with its value, and as many pages as the
# report numbers. $3 is 1 when the program was built with the GUI (and so
# with a PDF writer); without it the command must say it is not available.
# Exit 77 (skipped) when poppler's tools are missing.
set -euo pipefail

source "$(dirname "$0")/common.sh"
WITH_GUI="$3"

export XDG_CONFIG_HOME="$WORK/config"
export XDG_STATE_HOME="$WORK/state"
export LC_ALL=C.UTF-8
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}detect_leaks=0"
unset LANG LC_MESSAGES || true

"$MKDEMO" "$DEMO" >/dev/null
expect 0 "$CLI" new --install "$DEMO" --model QM71 --mode 0 --capacity 1R122 --rom 01-A1 -o pump.csl
expect 0 "$CLI" set pump.csl --install "$DEMO" A-3=220 Fund.-0=50.00 A-0=55.00

if [ "$WITH_GUI" != 1 ]; then
  expect 2 "$CLI" report pump.csl --install "$DEMO" -o report.pdf
  grep -q "not available in this build" err.txt || fail "no word that report is not available"
  [ ! -e report.pdf ] || fail "a report without a PDF writer"
  echo "report: not available in this build, as told"
  exit 0
fi

if ! command -v pdftotext >/dev/null || ! command -v pdfinfo >/dev/null; then
  echo "SKIP: pdftotext/pdfinfo missing (install poppler-utils)"
  exit 77
fi

# pages FILE: the page count pdfinfo reads.
pages() { pdfinfo "$1" | awk '/^Pages:/ { print $2 }'; }
# numbered FILE: the m of the "1 / m" the report prints on its first page.
numbered() { pdftotext -f 1 -l 1 "$1" - | sed -n 's|^1 / \([0-9][0-9]*\)$|\1|p' | head -1; }
# line_with FILE CODE: the laid-out line of a row.
line_with() { pdftotext -layout "$1" - | grep -E "^ *$2 " | head -1; }

SHA="$(sha256sum pump.csl | cut -d' ' -f1)"

# check_report PDF FIELD...: the report holds each header field, each
# changed code with its value on its line, and as many pages as it numbers.
check_report() {
  local pdf="$1"; shift
  local text
  text="$(pdftotext "$pdf" -)"
  for field in "$@"; do
    grep -qF -- "$field" <<<"$text" || fail "$pdf lacks \"$field\""
  done
  for row in "A-3:220" "Fund.-0:50.00" "A-0:55.00"; do
    local code="${row%%:*}" value="${row#*:}" line
    line="$(line_with "$pdf" "$code")"
    [ -n "$line" ] || fail "$pdf lacks $code"
    grep -qF -- " $value " <<<"$line " || fail "$pdf: $code without $value: $line"
  done
  [ "$(pages "$pdf")" = "$(numbered "$pdf")" ] || fail "$pdf: $(pages "$pdf") pages, numbered $(numbered "$pdf")"
}

# ---- English: the changed values only
expect 0 "$CLI" report pump.csl --install "$DEMO" --lang en -o en.pdf \
  --site "Plant 7" --tag "PUMP-3" --engineer "K. Sato"
[ -s en.pdf ] || fail "no en.pdf"
check_report en.pdf "Commissioning Report" "Plant 7" "PUMP-3" "K. Sato" "pump.csl" "$SHA" "QM71" "01-A1" \
  "Changed from default: 3 of 665 parameters" "Engineer" "Customer"

# ---- every parameter: more pages, numbered as many
expect 0 "$CLI" report pump.csl --install "$DEMO" --lang en -o all.pdf --all
[ "$(pages all.pdf)" -gt "$(pages en.pdf)" ] || fail "--all did not grow the report"
[ "$(pages all.pdf)" = "$(numbered all.pdf)" ] || fail "all.pdf: $(pages all.pdf) pages, numbered $(numbered all.pdf)"
grep -qF "All 665 parameters (3 changed from default)" <(pdftotext all.pdf -) || fail "all.pdf lacks its count"

# ---- Japanese (the CJK face maps kanji that are also Kangxi radicals, such
# as 二, 工 and 日, back to the radicals' code points: pdftotext reads "⼯"
# for 工. The fields here hold no such kanji.)
expect 0 "$CLI" report pump.csl --install "$DEMO" --lang ja -o ja.pdf \
  --site "横浜事業所" --tag "ポンプ3" --engineer "佐藤"
check_report ja.pdf "試運転報告書" "横浜事業所" "ポンプ3" "佐藤" "pump.csl" "$SHA"

# ---- a report that cannot be written leaves the earlier file as it was
# (root writes into a read-only folder all the same: then not tried)
if [ "$(id -u)" -ne 0 ]; then
  mkdir locked
  echo "last week's report" >locked/kept.pdf
  chmod a-w locked
  got=0
  "$CLI" report pump.csl --install "$DEMO" -o locked/kept.pdf >out.txt 2>err.txt || got=$?
  chmod u+w locked
  [ "$got" -eq 1 ] || fail "exit $got for a folder that cannot be written"
  grep -q "kept.pdf" err.txt || fail "the failure does not name the file"
  [ "$(cat locked/kept.pdf)" = "last week's report" ] || fail "the earlier report was changed"
fi

echo "report: all checks passed"
