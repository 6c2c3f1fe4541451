#!/usr/bin/env bash
# The options --help lists are the ones the manual page's OPTIONS section describes and the ones the
# README names (as inline code starting with --).   Usage: options-agree.sh PROGRAM MANUAL README
set -euo pipefail
program=$1 manual=$2 readme=$3

# --help: the indented option lines, e.g. "  --help, --version  print ...".
help=$("$program" --help | sed -n 's/^ \{1,\}\(--[^ ].*\)/\1/p' | sed 's/  .*//; s/, /\n/g' | cut -d' ' -f1 | sort -u)
# The manual page: the tags of .TP paragraphs between ".SH OPTIONS" and the next section.
manual_options=$(awk '/^\.SH /{inside = ($2 == "OPTIONS")} inside && tag {print $2} {tag = /^\.TP/}' "$manual" |
  sed 's/\\-/-/g' | sort -u)
readme_options=$(grep -o '`--[a-z-]*' "$readme" | tr -d '`' | sort -u)

[[ -n $help ]] || { echo "FAIL: no options in --help" >&2; exit 1; }
status=0
diff <(echo "$help") <(echo "$manual_options") || { echo "FAIL: --help (<) and the manual page (>) differ" >&2; status=1; }
diff <(echo "$help") <(echo "$readme_options") || { echo "FAIL: --help (<) and README (>) differ" >&2; status=1; }
[[ $status == 0 ]] && echo "options agree: $(echo $help)"
exit $status
