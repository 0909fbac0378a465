#!/bin/sh
# Runs each benchmark pair NAME.fe / NAME.ps: checks that the interpreter and
# Ghostscript print the same result, then prints the best wall time of
# $RUNS runs of each (taking turns) and their ratio.
#
#   bench/run.sh [NAME...]      (default: every NAME.fe in this folder)
#
# FERUN names the interpreter (default: build-release/bin/ferun), GS the
# Ghostscript binary (default: gs from PATH). Exits 1 when a result differs
# or a program fails.

here=$(cd "$(dirname "$0")" && pwd)
FERUN=${FERUN:-$here/../build-release/bin/ferun}
GS=${GS:-gs}
RUNS=${RUNS:-5}

if [ ! -x "$FERUN" ]; then
  echo "run.sh: no interpreter at $FERUN (make bench builds it)" >&2
  exit 2
fi
have_gs=1
command -v "$GS" >/dev/null 2>&1 || have_gs=0

run_fe() { "$FERUN" --bare "$here/$1.fe"; }
run_gs() { "$GS" -q -dNODISPLAY -dNOSAFER -dBATCH "$here/$1.ps"; }

# Output with every run of white space made one blank and the ends trimmed.
normal() { tr -s ' \t\r\n' '    ' | sed 's/^ //; s/ $//'; }

now() { date +%s.%N; }

# best RUNNER NAME: the least wall time in seconds of $RUNS runs.
# timed CMD NAME: the wall seconds of one run.
timed() {
  t0=$(now)
  "$1" "$2" >/dev/null 2>&1
  t1=$(now)
  awk -v a="$t0" -v z="$t1" 'BEGIN { printf "%.3f", z - a }'
}

# lower A B: the smaller of two times, B when A is empty.
lower() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }

# best NAME: the best of RUNS runs of FE and, with Ghostscript, of gs, the
# two taking turns so that a slow spell of a shared machine falls on both;
# sets fe_t and gs_t.
best() {
  fe_t=""
  gs_t=""
  i=0
  while [ "$i" -lt "$RUNS" ]; do
    fe_t=$(lower "$fe_t" "$(timed run_fe "$1")")
    [ "$have_gs" = 1 ] && gs_t=$(lower "$gs_t" "$(timed run_gs "$1")")
    i=$((i + 1))
  done
}

if [ $# -gt 0 ]; then
  names="$*"
else
  names=$(cd "$here" && ls *.fe | sed 's/\.fe$//')
fi

status=0
printf '%-10s %8s %8s %7s\n' workload fe_s gs_s fe/gs
for n in $names; do
  if ! fe_out=$(run_fe "$n" 2>&1); then
    printf '%-10s FAILED: %s\n' "$n" "$(printf '%s' "$fe_out" | normal)"
    status=1
    continue
  fi
  fe_out=$(printf '%s' "$fe_out" | normal)
  if [ "$have_gs" = 1 ]; then
    gs_out=$(run_gs "$n" 2>&1 | normal)
    if [ "$fe_out" != "$gs_out" ]; then
      printf '%-10s MISMATCH: fe "%s", gs "%s"\n' "$n" "$fe_out" "$gs_out"
      status=1
      continue
    fi
    best "$n"
    ratio=$(awk -v f="$fe_t" -v g="$gs_t" 'BEGIN { if (g > 0) printf "%.1f", f / g; else print "-" }')
    printf '%-10s %8s %8s %7s\n' "$n" "$fe_t" "$gs_t" "$ratio"
  else
    best "$n"
    printf '%-10s %8s %8s %7s\n' "$n" "$fe_t" - -
  fi
done
[ "$have_gs" = 1 ] || echo "(gs not found: Ghostscript columns left out)"
exit $status
