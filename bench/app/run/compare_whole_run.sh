#!/bin/sh
# Times the whole CSV run (vondrel_wholerun) beside the plain Python yardstick on one file:
# alternating runs, the median wall time of each and their ratio, and the peak resident
# memory (/usr/bin/time -v) of each.
#   compare_whole_run.sh BUILD_DIR IN.csv [pairs=5] [threads=1]
set -eu
build=$1
input=$2
pairs=${3:-5}
threads=${4:-1}
here=$(cd "$(dirname "$0")" && pwd)
yardstick=${YARDSTICK:-$here/../../../../shared/bench/py_pseudo_run.py}
program=$build/bench/app/run/vondrel_wholerun
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

measure() { # name command...
    name=$1
    shift
    /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null 2>"$work/err" || {
        cat "$work/err" >&2
        exit 1
    }
    cat "$work/time" >>"$work/$name"
}

i=0
while [ "$i" -lt "$pairs" ]; do
    measure program "$program" "$input" "$work/out.csv" "$threads"
    rm -f "$work"/out.csv "$work"/vondrel_map_*.csv
    measure python /usr/bin/python3 "$yardstick" "$input" "$work/py.csv" "$work/pymap.csv"
    rm -f "$work/py.csv" "$work/pymap.csv"
    i=$((i + 1))
done

median() { # file column
    cut -d' ' -f"$2" "$1" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
p=$(median "$work/program" 1)
y=$(median "$work/python" 1)
pm=$(median "$work/program" 2)
ym=$(median "$work/python" 2)
echo "input $(basename "$input"), threads $threads, $pairs pairs, load $(cut -d' ' -f1 /proc/loadavg)"
echo "program: median $p s, peak $((pm / 1024)) MB"
echo "python:  median $y s, peak $((ym / 1024)) MB"
awk -v p="$p" -v y="$y" 'BEGIN { printf "ratio program/python: %.3f\n", p / y }'
