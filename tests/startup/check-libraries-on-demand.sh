#!/usr/bin/env bash
# The libraries the program opens on first use (src/**/*OnDemand.cpp) are
# not loaded at start-up: the executable does not name them as needed, so
# neither they nor what they bring are mapped before the window shows.
# And each is installed under the name the program opens, so the first
# open, play or analysis finds it.
# Usage: check-libraries-on-demand.sh ZORVANE_EXECUTABLE SOURCE_DIR
set -uo pipefail
exe=$1 src=$2
needed=$(readelf -d "$exe" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
[ -n "$needed" ] || { echo "no NEEDED entries read from $exe"; exit 1; }
installed=$(/sbin/ldconfig -p | awk 'NR > 1 {print $1}')
fail=0
names=$(grep -ho 'LibraryOnDemand library{"[^"]*"' "$src"/src/*/system/*OnDemand.cpp | sed 's/.*{"//; s/"$//' | sort -u)
[ -n "$names" ] || { echo "no libraries opened on demand found under $src/src"; exit 1; }
for soname in $names; do
  if grep -qx "$soname" <<<"$needed"; then
    echo "loaded at start-up, though opened on first use: $soname"; fail=1
  fi
  if ! grep -qx "$soname" <<<"$installed"; then
    echo "not installed under the name the program opens: $soname"; fail=1
  fi
done
[ $fail -eq 0 ] && echo "opened on first use, none loaded at start-up: $(echo $names)"
exit $fail
