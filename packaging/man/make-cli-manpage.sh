#!/usr/bin/env bash
# Writes the manual page of tessaline-cli from the program's own help, so
# that the page says what the program says and cannot fall behind it:
#   make-cli-manpage.sh CLI DATE VERSION OUT
# The help of the program, then the help of each command it lists, each as
# written (no filling): the help is laid out for a terminal already.
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: $0 CLI DATE VERSION OUT" >&2; exit 2; }
CLI="$1" DATE="$2" VERSION="$3" OUT="$4"

# English, whatever the builder's locale.
help() { LC_ALL=C LANG=C "$CLI" "$@" --help --lang en; }

# Help text as troff lines shown as they are: backslashes escaped, and a
# line that begins with a dot or an apostrophe kept from being a request.
verbatim() {
  printf '.nf\n'
  sed -e 's/\\/\\e/g' -e "s/^\\([.']\\)/\\\\\\&\\1/" -e 's/^-/\\-/'
  printf '.fi\n'
}

main_help="$(help)"
commands="$(printf '%s\n' "$main_help" | awk '/^Commands:/ { on = 1; next } on && /^  [a-z]/ { print $1; next } on { exit }')"
[ -n "$commands" ] || { echo "no commands in the help of $CLI" >&2; exit 1; }

{
  printf '.TH TESSALINE-CLI 1 "%s" "Tessaline %s" "User Commands"\n' "$DATE" "$VERSION"
  printf '.SH NAME\ntessaline-cli \\- the data set jobs of Tessaline, without a window\n'
  printf '.SH SYNOPSIS\n.B tessaline-cli\n.I COMMAND\n.RI [ OPTION ]...\n'
  printf '.SH DESCRIPTION\n'
  printf '%s\n' "$main_help" | verbatim
  printf '.SH COMMANDS\n'
  for command in $commands; do
    printf '.SS %s\n' "$command"
    help "$command" | verbatim
  done
  printf '.SH FILES\n'
  printf '.TP\n.I $XDG_CONFIG_HOME/tessaline/CON.conf\nthe window'"'"'s per-user settings, read and never written by this program\n'
  printf '.TP\n.I $XDG_STATE_HOME/tessaline/journal\nthe journal of every transfer with a drive (history)\n'
  printf '.TP\n.I $XDG_DATA_HOME/tessaline\nparameter tables the user added, looked up before the installation'"'"'s\n'
  printf '.SH SEE ALSO\n.BR tessaline (1)\n'
} >"$OUT"
