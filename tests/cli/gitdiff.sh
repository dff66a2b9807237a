#!/usr/bin/env bash
# A plant's data sets kept in git: with the textconv driver the README
# describes, `git diff` of two commits of a data set names the changed
# parameter by its code and name. Runs the real tessaline-cli ($1) on a demo
# installation made by tessaline-mkdemo ($2).
set -euo pipefail

source "$(dirname "$0")/common.sh"

# Neither the user's settings and locale nor their git configuration may
# decide anything here.
export XDG_CONFIG_HOME="$WORK/config" HOME="$WORK" GIT_CONFIG_NOSYSTEM=1
export LC_ALL=C
unset LANG LC_MESSAGES GIT_DIR GIT_WORK_TREE || true

"$MKDEMO" "$DEMO" >/dev/null
mkdir "$WORK/plant"
cd "$WORK/plant"
git init -q .
git config user.name "Commissioning Engineer"
git config user.email "engineer@example.com"
echo '*.csl diff=tessaline' >.gitattributes
git config diff.tessaline.textconv "'$CLI' show --plain --install '$DEMO'"

"$CLI" new --install "$DEMO" --model QM71 --capacity 1R122 --rom 01-A1 -o pump.csl 2>/dev/null
git add .gitattributes pump.csl pump.csv
git commit -q -m "pump as delivered"
"$CLI" set --install "$DEMO" pump.csl A-3=210
git commit -q -am "pump: motor rated voltage for the new motor"

git diff HEAD~1 HEAD -- pump.csl >diff.txt
grep -qx -- $'-A-3\tMotor rated voltage\t200' diff.txt || { cat diff.txt >&2; fail "the old A-3 is not shown"; }
grep -qx -- $'+A-3\tMotor rated voltage\t210' diff.txt || { cat diff.txt >&2; fail "the new A-3 is not shown"; }
[ "$(grep -c '^[-+][^-+]' diff.txt)" -eq 2 ] || { cat diff.txt >&2; fail "lines other than A-3 differ"; }

# Without the driver git sees the .csl's bare numbers only.
git diff --no-textconv HEAD~1 HEAD -- pump.csl | grep -q 'Motor rated voltage' \
  && fail "the test passes without the textconv driver"

echo "git diff through tessaline-cli show --plain: ok"
