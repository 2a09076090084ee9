#!/usr/bin/env bash
# The package's documents carry the project's version: the changelog's
# latest entry, both manual pages and the AppStream release.
#   packaging_version_test.sh VERSION PACKAGING_DIR
set -euo pipefail
version="$1"
dir="$2"

status=0
expect() {
  local what="$1" found="$2"
  if [ "$found" != "$version" ]; then
    echo "$what has version '$found', the project $version"
    status=1
  fi
}
expect changelog "$(sed -n '1s/^rm460-console (\([^)]*\)).*/\1/p' "$dir/changelog")"
for page in rm460-console rm460-sim; do
  expect "$page.1" "$(sed -n "s/^\.TH .*\"$page \([^\"]*\)\".*/\1/p" "$dir/$page.1")"
done
expect metainfo "$(grep -m1 -oE '<release version="[^"]+"' "$dir/io.rm460.console.metainfo.xml" |
  sed 's/.*"\(.*\)"/\1/')"
[ "$status" = 0 ] && echo "every document says $version"
exit "$status"
