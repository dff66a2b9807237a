#!/usr/bin/env bash
# Runs the real tessaline-cli ($1) on a demo installation made by
# tessaline-mkdemo ($2): a new -> set -> show -> export round trip, refusals
# that leave every file as it was, and wrong command lines.
set -euo pipefail

source "$(dirname "$0")/common.sh"

# The user's own settings and locale must not decide anything here.
export XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data"
export LC_ALL=C
unset LANG LC_MESSAGES || true

# The value column of one code in `show`'s tab-separated output.
value_of() { awk -F'\t' -v code="$1" '$1 == code { print $5 }' out.txt; }

"$MKDEMO" "$DEMO" >/dev/null

# ---- new -> set -> show -> export
expect 0 "$CLI" new --install "$DEMO" --model QM71 --mode 0 --capacity 1R122 --rom 01-A1 -o pump.csl
[ -f pump.csl ] && [ -f pump.csv ] || fail "new wrote no .csl and .csv"
head -1 pump.csv | grep -q '^QM71,Sensorless,1R122,01-A1' || fail "identity line of the .csv"

expect 0 "$CLI" set pump.csl --install "$DEMO" A-3=220 Fund.-0=50.00 A-0=55.00
expect 0 "$CLI" show pump.csl --install "$DEMO"
[ "$(value_of A-3)" = 220 ] || fail "A-3 not set"
[ "$(value_of Fund.-0)" = 50.00 ] || fail "Fund.-0 not set"
[ "$(value_of A-0)" = 55.00 ] || fail "A-0 not set"
head -1 out.txt | grep -q $'^Setting area\tSetting contents\t' || fail "no header row"
[ "$(awk -F'\t' 'NF != 7' out.txt | wc -l)" -eq 0 ] || fail "a row without seven fields"

expect 0 "$CLI" show pump.csl --install "$DEMO" --area A
[ "$(awk -F'\t' 'NR > 1 && $1 !~ /^A-/' out.txt | wc -l)" -eq 0 ] || fail "--area A shows other rows"
[ "$(value_of A-3)" = 220 ] || fail "--area A lacks A-3"

expect 0 "$CLI" export pump.csl --install "$DEMO" -o copy.csv
cmp -s copy.csv pump.csv || fail "export differs from the .csv that set saved"
grep -q $'^A-3,.*,220,0,3\r$' copy.csv || fail "the .csv lacks the new A-3 value"

# ---- a refused entry leaves both files byte-identical
cp pump.csl before.csl
cp pump.csv before.csv
expect 1 "$CLI" set pump.csl --install "$DEMO" A-3=230 A-0=2.00
grep -q "A-0=2.00: Setting value is less than 'Fund.-0'" err.txt || fail "no refusal message"
cmp -s pump.csl before.csl || fail "a refused set changed the .csl"
cmp -s pump.csv before.csv || fail "a refused set changed the .csv"
expect 1 "$CLI" set pump.csl --install "$DEMO" Q-99=1
grep -q 'no parameter with the code "Q-99"' err.txt || fail "unknown code not told"
cmp -s pump.csl before.csl || fail "an unknown code changed the .csl"

# ---- a wrong model name: told, nothing written
expect 1 "$CLI" new --install "$DEMO" --model QM99 --capacity 1R122 -o wrong.csl
grep -q 'There is no model "QM99"' err.txt || fail "wrong model not told"
[ ! -e wrong.csl ] && [ ! -e wrong.csv ] || fail "a wrong model wrote a file"
[ ! -s out.txt ] || fail "a refusal wrote to standard output"

# ---- the language: --lang, else the window's recorded choice (only read)
expect 1 "$CLI" new --install "$DEMO" --lang ja --model QM99 --capacity 1R122 -o wrong.csl
grep -q '機種 "QM99" はありません' err.txt || fail "--lang ja not Japanese"
mkdir -p "$XDG_CONFIG_HOME/tessaline"
printf 'EIGO=0\n' >"$XDG_CONFIG_HOME/tessaline/CON.conf"
expect 1 "$CLI" new --install "$DEMO" --model QM99 --capacity 1R122 -o wrong.csl
grep -q '機種 "QM99" はありません' err.txt || fail "the recorded language not taken"
[ "$(cat "$XDG_CONFIG_HOME/tessaline/CON.conf")" = "EIGO=0" ] || fail "the user's settings were written"
rm -r "$XDG_CONFIG_HOME"

# ---- the program folder is the installation unless --install names one
cp "$CLI" "$DEMO/tessaline-cli"
expect 0 "$DEMO/tessaline-cli" new --model LX71RTP --capacity 2R222 -o lx.csl
[ -f lx.csv ] || fail "new from the program folder"
expect 1 "$CLI" show pump.csl
grep -q 'no installation' err.txt || fail "a program folder without installation not told"
[ ! -d "$(dirname "$CLI")/QM71" ] || fail "model folders made beside a program without installation"

# ---- saves replace the file named, and only that
expect 0 "$CLI" new --install "$DEMO" --model QM71 --capacity 1R122 --rom 01-A1 -o private.csl
chmod 600 private.csl private.csv
expect 0 "$CLI" set private.csl --install "$DEMO" A-3=210
[ "$(stat -c %a private.csl) $(stat -c %a private.csv)" = "600 600" ] || fail "a save changed the permissions"

chmod 444 private.csl
cp private.csl private-before.csl
expect 1 "$CLI" set private.csl --install "$DEMO" A-3=220
grep -q "private.csl: is read-only" err.txt || fail "a read-only data file not named"
cmp -s private.csl private-before.csl || fail "a read-only data file was replaced"

mkdir shared
cp pump.csl shared/pump.csl
ln -s shared/pump.csl linked.csl
expect 0 "$CLI" set linked.csl --install "$DEMO" A-3=230
[ -L linked.csl ] || fail "a save replaced the symbolic link"
expect 0 "$CLI" show shared/pump.csl --install "$DEMO"
[ "$(value_of A-3)" = 230 ] || fail "the file the link leads to was not saved"

mkfifo fifo.csl
ln -s /dev/null device.csl
for target in fifo.csl device.csl; do
  expect 1 "$CLI" new --install "$DEMO" --model QM71 --capacity 1R122 --force -o "$target"
  grep -q "$target: is not a regular file" err.txt || fail "$target not named"
done
[ -p fifo.csl ] && [ -L device.csl ] && [ -c /dev/null ] || fail "a FIFO or device was replaced"

printf 'report\n' >report.csv
expect 1 "$CLI" new --install "$DEMO" --model QM71 --capacity 1R122 -o report.csl
grep -q 'report.csv" already exists' err.txt || fail "new over an existing .csv not refused"
[ "$(cat report.csv)" = report ] && [ ! -e report.csl ] || fail "new replaced an unrelated .csv"
[ -z "$(find . -name '*tessaline-tmp-*')" ] || fail "a temporary file was left behind"

# ---- several data files from a glob, a damaged one in the middle
mkdir plant
for n in 1 2 3; do cp pump.csl "plant/p$n.csl"; done
printf 'no data set\r\n' >plant/p2.csl
expect 1 "$CLI" export --install "$DEMO" plant/*.csl
[ -f plant/p1.csv ] && [ -f plant/p3.csv ] && [ ! -e plant/p2.csv ] || fail "export of several files"
[ -s err.txt ] && ! grep -qv '^plant/p2\.csl: ' err.txt || fail "the messages of several files do not name theirs"

# ---- wrong command lines
expect 2 "$CLI"
expect 2 "$CLI" bogus pump.csl
grep -q 'unknown command "bogus"' err.txt || fail "unknown command not told"
expect 2 "$CLI" new --install "$DEMO" --model QM71 -o x.csl
grep -q 'option --capacity is required' err.txt || fail "missing option not told"
expect 2 "$CLI" set pump.csl --install "$DEMO" A-3
expect 2 "$CLI" show pump.csl --model QM71
[ ! -s out.txt ] || fail "a wrong command line wrote to standard output"
cmp -s pump.csl before.csl || fail "a wrong command line changed the .csl"
expect 0 "$CLI" set --help
grep -q '^Usage: tessaline-cli set FILE.csl\.\.\. CODE=VALUE' out.txt || fail "no help for set"
expect 2 "$CLI" write pump.csl --install "$DEMO"
grep -q 'option --port is required' err.txt || fail "write without a port not told"
expect 2 "$CLI" read --port COM1 --install "$DEMO" --from A -o x.csl
[ ! -e x.csl ] && [ ! -e writelog.txt ] || fail "a wrong command line went to the drive"
expect 0 "$CLI" compare-drive --help
grep -q '^Usage: tessaline-cli compare-drive FILE.csl --port DEV' out.txt || fail "no help for compare-drive"

echo "cli: all checks passed"
