# shellcheck shell=bash
# Sourced by the end-to-end tests: which of today's icons stand where in a picture of a panel.
# row_order STRIP REFS prints the names in the order they stand, left to right, or
# "<name> not on screen"; it works in the scaffold's $work. Panels show whichever offered
# size suits them, some scaled a pixel or two: each picture is looked for at the sizes
# around 16 and 22, its closest match taken.

# Prints "<score> <x>" of the best place of icon $2 (a path without ".png") in $1 at $3
# pixels: the picture drawn at that size where there is one, else the 22-pixel one scaled.
best_place() {
  local strip=$1 picture=$2.png size=$3 ground
  if [ "$size" -eq 16 ]; then :; elif [ -f "$2-$size.png" ]; then picture=$2-$size.png; else picture=$2-22.png; fi
  ground=$(convert "$strip" -format "%[pixel:p{$(($(identify -format %w "$strip") - 1)),2}]" info:)
  convert "$picture" -background "$ground" -flatten -resize "${size}x${size}" "$work/flat.png"
  local found
  found=$(compare -metric RMSE -dissimilarity-threshold 1 -subimage-search "$strip" "$work/flat.png" null: 2>&1 |
    sed -n 's/.*(\([0-9.e-]*\)) @ \([0-9]*\),.*/\1 \2/p' | head -1)
  echo "$found"
}

row_order() {
  local strip=$1 refs=$2 name size best score x positions=""
  for name in month day weekday week; do
    best=""
    for size in 16 20 21 22 23 24 32; do
      read -r score x < <(best_place "$strip" "$refs/$name" "$size") || continue
      [ -n "$score" ] || continue
      if [ -z "$best" ] || awk "BEGIN {exit !($score < ${best%% *})}"; then best="$score $x"; fi
    done
    if [ -z "$best" ] || awk "BEGIN {exit !(${best%% *} > 0.3)}"; then
      echo "$name not on screen"
      return
    fi
    positions+="${best##* } $name"$'\n'
  done
  echo "$positions" | sort -n | awk 'NF {printf "%s ", $2}'
}

# row_is_right: the test's own `order` (a picture of its panel, read by row_order) reads
# month, day, weekday, week; what it read is in $row.
row_is_right() { row=$(order); [ "$row" = "month day weekday week " ]; }
