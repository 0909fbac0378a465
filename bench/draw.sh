#!/bin/sh
# Drawing workloads: for each size N, a fresh ferun makes N grid lines and
# saves them (draw_scripts/make.fe), and another, with a window, opens the
# file, fits the view to the drawing and draws it, draws a zoomed box of
# about 1% of its extents (the box query of the spatial index), selects
# everything and deletes everything (draw_scripts/open.fe). Each step is
# timed inside the script, after draw_scripts/cold.fe has pushed the
# drawing out of the processor's caches: every size then reads its drawing
# from memory, as a million objects must, and the cost per object compared
# across sizes is the growth of the work rather than the cache's size.
# The scripts live in a folder of their own so that run.sh, which takes
# every NAME.fe here for an interpreter workload, does not take them.
#
#   bench/draw.sh
#
# Prints the seconds of each step, the references (the same lines drawn
# with Cairo; the saved file's bytes read once, the floor of any reader),
# the peak memory per object of both runs, then each step's cost per object
# relative to the smallest N. A step whose cost per object at the largest N
# is more than 1.5 times that at the smallest is marked with "*" and named
# at the end: its time grows faster than the drawing.
#
# Environment:
#   FERUN        the Release script runner (default build-release/bin/ferun)
#   CAIRO_LINES  the reference program built from cairo_lines.cpp (default
#                build-release/cairo_lines; without it the Cairo column is "-")
#   BENCH_SIZES  the sizes, smallest first (default "10000 100000 1000000")
#   BENCH_WORK   objects handled per step and size (default 1000000): a
#                size below it runs BENCH_WORK / N times and the mean is
#                shown, as the scripts' clock counts whole milliseconds
#   BENCH_RUNS   runs of both scripts per size (default 3); each step shows
#                its best run, so that a slow spell of a shared machine
#                does not pass for growth
#   BENCH_DIR    where the drawing files go (default a new folder in
#                ${TMPDIR:-/tmp}, removed at the end)
# Exits 1 when a run fails or a step did not do its work (a count differs).

here=$(cd "$(dirname "$0")" && pwd)
FERUN=${FERUN:-$here/../build-release/bin/ferun}
CAIRO_LINES=${CAIRO_LINES:-$here/../build-release/cairo_lines}
BENCH_SIZES=${BENCH_SIZES:-"10000 100000 1000000"}
BENCH_WORK=${BENCH_WORK:-1000000}
BENCH_RUNS=${BENCH_RUNS:-3}

if [ ! -x "$FERUN" ]; then
  echo "draw.sh: no script runner at $FERUN (make bench builds it)" >&2
  exit 2
fi
have_cairo=1
[ -x "$CAIRO_LINES" ] || have_cairo=0
GNU_TIME=/usr/bin/time
have_time=1
"$GNU_TIME" -f %M -o /dev/null true >/dev/null 2>&1 || have_time=0

if [ -n "$BENCH_DIR" ]; then
  dir=$BENCH_DIR
  mkdir -p "$dir" || exit 2
  keep=1
else
  dir=$(mktemp -d "${TMPDIR:-/tmp}/plumet-draw.XXXXXX") || exit 2
  keep=0
fi
results=$dir/results
: >"$results"

# measured NAME CMD...: runs CMD with its output in $dir/NAME.out and, with
# GNU time, its peak resident set in kilobytes in $dir/NAME.rss.
measured() {
  name=$1
  shift
  if [ "$have_time" = 1 ]; then
    "$GNU_TIME" -f %M -o "$dir/$name.rss" "$@" >"$dir/$name.out" 2>&1
  else
    "$@" >"$dir/$name.out" 2>&1
  fi
}

# value NAME KEY: the number after KEY on its line of $dir/NAME.out.
value() { awk -v k="$2" '$1 == k { v = $2 } END { print v }' "$dir/$1.out"; }

# keep_least NAME RUN: merges $dir/RUN.out into $dir/NAME.out, keeping for
# each key the least value of the two.
keep_least() {
  [ -f "$dir/$1.out" ] || : >"$dir/$1.out"
  awk 'FNR == NR { v[$1] = $2; order[++n] = $1; next }
    { if (!($1 in v)) { order[++n] = $1; v[$1] = $2 } else if ($2 + 0 < v[$1] + 0) v[$1] = $2 }
    END { for (i = 1; i <= n; ++i) print order[i], v[order[i]] }' \
    "$dir/$1.out" "$dir/$2.out" >"$dir/$1.tmp" && mv "$dir/$1.tmp" "$dir/$1.out"
}

# rss NAME: the peak kilobytes, or empty.
rss() { [ -s "$dir/$1.rss" ] && tail -n 1 "$dir/$1.rss"; }

# The processes alone with an empty document, without and with a window:
# the memory of the make and the open runs that is not the drawing's.
measured base_make "$FERUN" -e 'null aNewDoc'
measured base_open "$FERUN" --png "$dir/base.png" -e 'null aNewDoc'

status=0
for n in $BENCH_SIZES; do
  reps=$((BENCH_WORK / n))
  [ "$reps" -ge 1 ] || reps=1
  file=$dir/draw_$n.qdw
  defs="/benchN $n def /benchFile ($file) def /benchReps $reps def"
  echo "draw.sh: N=$n ($BENCH_RUNS run(s) of both scripts, each step $reps time(s) a run)" >&2

  rm -f "$dir/make_$n.out" "$dir/open_$n.out"
  run=1
  failed=0
  while [ "$run" -le "$BENCH_RUNS" ]; do
    if ! measured make_${n}_r$run "$FERUN" -e "$defs" "$here/draw_scripts/cold.fe" "$here/draw_scripts/make.fe" ||
      [ "$(value make_${n}_r$run objects)" != "$n" ]; then
      echo "draw.sh: making $n lines failed:" >&2
      tail -n 5 "$dir/make_${n}_r$run.out" >&2
      failed=1
      break
    fi
    if ! measured open_${n}_r$run "$FERUN" --png "$dir/draw_$n.png" -e "$defs" "$here/draw_scripts/cold.fe" \
      "$here/draw_scripts/open.fe" ||
      [ "$(value open_${n}_r$run opened)" != "$n" ] || [ "$(value open_${n}_r$run selected)" != "$n" ] ||
      [ "$(value open_${n}_r$run left)" != 0 ]; then
      echo "draw.sh: opening, selecting or deleting $n lines failed:" >&2
      tail -n 5 "$dir/open_${n}_r$run.out" >&2
      failed=1
      break
    fi
    keep_least make_$n make_${n}_r$run
    keep_least open_$n open_${n}_r$run
    run=$((run + 1))
  done
  if [ "$failed" = 1 ]; then
    status=1
    continue
  fi

  # The peak memory of one run of each script, without cold.fe (its buffer
  # would count): drawing a window does not give back all the memory it
  # takes, so the peak of repeated runs grows with their number.
  mem=$n
  if [ "$have_time" = 1 ]; then
    mem=1_$n
    defs1="/benchN $n def /benchFile ($file) def /benchReps 1 def"
    measured make_$mem "$FERUN" -e "$defs1" "$here/draw_scripts/make.fe" &&
      measured open_$mem "$FERUN" --png "$dir/draw_$mem.png" -e "$defs1" "$here/draw_scripts/open.fe" ||
      status=1
  fi

  # The window's size is the PNG's (big-endian width and height at 16),
  # split into its eight bytes.
  # shellcheck disable=SC2046
  set -- $(od -An -tu1 -j16 -N8 "$dir/draw_$n.png")
  width=$(($1 * 16777216 + $2 * 65536 + $3 * 256 + $4))
  height=$(($5 * 16777216 + $6 * 65536 + $7 * 256 + $8))
  cairo_ms=
  read_ms=
  if [ "$have_cairo" = 1 ]; then
    "$CAIRO_LINES" draw "$n" "$width" "$height" "$reps" >"$dir/cairo_$n.out" 2>&1 &&
      cairo_ms=$(value cairo_$n cairo_ms)
    "$CAIRO_LINES" read "$file" "$reps" >"$dir/read_$n.out" 2>&1 && read_ms=$(value read_$n read_ms)
  fi
  bytes=$(wc -c <"$file" | tr -d ' ')

  {
    printf '%s' "$n"
    for k in make save; do printf ' %s' "$(value make_$n $k)"; done
    for k in open draw query select delete; do printf ' %s' "$(value open_$n $k)"; done
    printf ' %s %s %s %s %s\n' "${cairo_ms:--}" "${read_ms:--}" "$bytes" "$(rss make_$mem)" "$(rss open_$mem)"
  } >>"$results"
done

if [ ! -s "$results" ]; then
  echo "draw.sh: no size ran" >&2
  exit 1
fi

echo "Drawing workloads: seconds per step (window ${width}x${height}; mean of BENCH_WORK/N repetitions, best of BENCH_RUNS runs)"
awk -v baseMk="$(rss base_make)" -v baseOp="$(rss base_open)" '
  function s(ms) { return ms == "-" || ms == "" ? "-" : sprintf("%.5f", ms / 1000) }
  function ratio(a, b) { return (a == "-" || b == "-" || b + 0 <= 0) ? "-" : sprintf("%.1f", a / b) }
  function perobj(kb, base, n) { return (kb == "" || base == "") ? "-" : sprintf("%.0f", (kb - base) * 1024 / n) }
  BEGIN {
    printf "%8s %9s %9s %9s %9s %9s %9s %9s | %9s %6s %9s %6s | %6s %6s %6s\n",
      "N", "make", "save", "open", "draw", "query", "select", "delete",
      "cairo", "draw/c", "read", "open/r", "file", "rssMk", "rssOp"
  }
  {
    printf "%8d %9s %9s %9s %9s %9s %9s %9s | %9s %6s %9s %6s | %6.0f %6s %6s\n",
      $1, s($2), s($3), s($4), s($5), s($6), s($7), s($8),
      s($9), ratio($5, $9), s($10), ratio($4, $10), $11 / $1, perobj($12, baseMk, $1), perobj($13, baseOp, $1)
  }
' "$results"
echo "(draw: the view fitted to the drawing and drawn. query: the view zoomed to about 1% of the extents and drawn."
echo " cairo: the same lines drawn with Cairo, a stroke each, 1 pixel, no antialiasing; draw/c = draw / cairo."
echo " read: the saved file's bytes read once; open/r = open / read. file, rssMk, rssOp: bytes per object of"
echo " the file and of the peak resident memory of one make and one open run above an empty document's.)"
echo

echo "Cost per object relative to N=$(head -n 1 "$results" | cut -d ' ' -f 1) (\"*\": above 1.5 at the largest N)"
awk '
  BEGIN { split("make save open draw query select delete", name, " "); steps = 7 }
  NR == 1 { n0 = $1; for (k = 1; k <= steps; ++k) t0[k] = $(k + 1) }
  { rows[NR] = $0; last = NR }
  END {
    printf "%8s", "N"
    for (k = 1; k <= steps; ++k) printf " %9s", name[k]
    printf "\n"
    marked = ""
    for (r = 1; r <= last; ++r) {
      split(rows[r], f, " ")
      printf "%8d", f[1]
      for (k = 1; k <= steps; ++k) {
        t = f[k + 1]
        if (t0[k] + 0 <= 0 || t == "") { printf " %9s", "-"; continue }
        rel = (t / f[1]) / (t0[k] / n0)
        mark = (r == last && last > 1 && rel > 1.5) ? "*" : " "
        if (mark == "*") marked = marked " " name[k]
        printf " %8.2f%s", rel, mark
      }
      printf "\n"
    }
    if (last < 2) print "(one size only: nothing to compare)"
    else if (marked == "") print "No step grows faster than the drawing."
    else print "Growing faster than the drawing (marked):" marked
  }
' "$results"

[ "$have_cairo" = 1 ] || echo "(cairo_lines not found at $CAIRO_LINES: its columns are left out)"
[ "$have_time" = 1 ] || echo "(GNU time not found: the memory columns are left out)"
[ "$keep" = 1 ] || rm -rf "$dir"
exit $status
