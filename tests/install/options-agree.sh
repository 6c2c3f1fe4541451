#!/usr/bin/env bash
# The options --help lists are the ones the manual page's OPTIONS section describes and the ones the
# README names (as inline code starting with --); every interface kind --help lists has a paragraph
# in the manual page's INTERFACES section and a row in README.   Usage: options-agree.sh PROGRAM MANUAL README
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

# Interface kinds: --help's lines indented by six, each kind named up to its first placeholder
# ("pro:DEVICE" is "pro:", "virtual:0x0101" stays whole).
kinds=$("$program" --help | sed -n 's/^      \([a-z][^ ]*\).*/\1/p' | sed 's/[A-Z[/].*//')
[[ -n $kinds ]] || { echo "FAIL: no interface kinds in --help" >&2; exit 1; }
manual_kinds=$(awk '/^\.SH /{inside = ($2 == "INTERFACES")} inside && tag {print $2} {tag = /^\.TP/}' "$manual" |
  sed 's/\\-/-/g')
for kind in $kinds; do
  grep -qxF -- "$kind" <<<"$manual_kinds" || { echo "FAIL: the manual page has no INTERFACES entry for $kind" >&2; status=1; }
  grep -qF -- "\`$kind" "$readme" || { echo "FAIL: README does not name the interface $kind" >&2; status=1; }
done
[[ $status == 0 ]] && echo "options agree: $(echo $help); interfaces: $(echo $kinds)"
exit $status
