#!/usr/bin/env bash
# rm460-sim's manual page and its --help name the same options, and both
# tell how a COM number reaches a device.
#   man_page_options_test.sh RM460_SIM MAN_PAGE
set -euo pipefail
sim="$1"
page="$2"

help="$("$sim" --help)"
from_help="$(grep -oE '^  --[a-z-]+' <<<"$help" | sed 's/^ *//' | sort -u)"
# An option's entry is the tag line of a .TP paragraph: .BI \-\-com " N"
from_page="$(awk 'tag { print } { tag = ($0 == ".TP") }' "$page" |
  grep -oE '^\.(B|BI|BR) .*' | grep -oE '\\-\\-[a-z\\-]+' | sed 's/\\-/-/g' | sort -u)"

status=0
only_help="$(comm -23 <(echo "$from_help") <(echo "$from_page"))"
only_page="$(comm -13 <(echo "$from_help") <(echo "$from_page"))"
if [ -n "$only_help" ]; then
  echo "in --help but not in $page:" $only_help
  status=1
fi
if [ -n "$only_page" ]; then
  echo "in $page but not in --help:" $only_page
  status=1
fi
for words in 'dosdevices/com' 'dialout' '/dev/serial/by-id'; do
  grep -qF -- "$words" <<<"$help" || { echo "--help does not mention $words"; status=1; }
  grep -qF -- "$(sed 's/-/\\-/g' <<<"$words")" "$page" || { echo "$page does not mention $words"; status=1; }
done
[ "$status" = 0 ] && echo "$(wc -l <<<"$from_help") options agree"
exit "$status"
