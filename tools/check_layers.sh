#!/usr/bin/env bash
# Checks that every include between the program's folders points down the
# layers that CMakeLists.txt links (store and geo at the bottom, the windows
# at the top), so that no folder reaches up into one that uses it, that no
# unit (a .h with its .cpp) includes, however indirectly, one that includes
# it back, and that no folder outgrows 16 source files. Lists what is wrong
# and fails if anything is.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

declare -A may_use=(
  [store]="store"
  [geo]="geo"
  [departements]="departements store"
  [geometry]="geometry store geo"
  [history]="history store departements"
  [names]="names store"
  [search]="search names store geo geometry departements history"
  [cli]="cli search names store geo geometry departements history"
  [map]="map store departements"
  [weblink]="weblink"
  [widgets]="widgets map store departements"
  [about]="about widgets map store departements"
  [app]="app about widgets map store geo geometry names search weblink cli departements history"
)

status=0
for folder in "${!may_use[@]}"; do
  [ -d "$folder" ] || continue
  count=$(find "$folder" -maxdepth 1 -name '*.cpp' | wc -l)
  if [ "$count" -gt 16 ]; then
    echo "$folder/ holds $count source files (at most 16)"
    status=1
  fi
  while IFS= read -r line; do
    file=${line%%:*}
    used=$(sed -E 's/.*#include "([a-z]+)\/.*/\1/' <<<"$line")
    if [ -n "${may_use[$used]+x}" ] && ! [[ " ${may_use[$folder]} " == *" $used "* ]]; then
      echo "$file includes $used/, which $folder/ may not use"
      status=1
    fi
  done < <(grep -H '^#include "[a-z]*/' "$folder"/*.h "$folder"/*.cpp || true)
done
# The command line is answered without a window: main.cpp is the one file
# of the windows that may include cli/.
if grep -l '^#include "cli/' app/*.h app/*.cpp | grep -v -e '^app/windowMain.cpp$'; then
  echo "only app/windowMain.cpp may include cli/"
  status=1
fi
if grep -l 'QFont\b\|QFontMetrics' store/* departements/* history/* names/* search/* cli/* geo/* geometry/* map/* weblink/*; then
  echo "fonts belong to the windows (app/, about/, widgets/)"
  status=1
fi
# Include cycles between units: one edge per include of another unit, and
# tsort names the units of every loop it meets.
loops=$(for folder in "${!may_use[@]}"; do
  for file in "$folder"/*.h "$folder"/*.cpp; do
    [ -e "$file" ] || continue
    unit=${file%.*}
    sed -nE 's/^#include "([a-z]+\/[A-Za-z0-9_]+)\.h".*/\1/p' "$file" | while IFS= read -r used; do
      [ "$used" != "$unit" ] && echo "$unit $used"
    done
  done
done | tsort 2>&1 >/dev/null | sed -nE 's/^tsort: -: input contains a loop:$/loop:/p; s/^tsort: ([a-z]+\/.*)$/  \1/p' || true)
if [ -n "$loops" ]; then
  echo "units that include one another (a cycle each):"
  echo "$loops"
  status=1
fi
exit $status
