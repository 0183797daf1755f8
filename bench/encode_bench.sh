#!/usr/bin/env bash
# Encode benchmark: cf-encode against the ffmpeg command line doing the same conversion, side
# by side in one run on a generated 10-minute Video CD-like clip (352x240 MPEG-1 + MP2 with
# moving pictures). Prints wall-time ratios (cf-encode / ffmpeg; the budget is <= 1.0, the
# aim <= 0.7) and the worker's peak memory (budget < 150 MB); then the worker confined, as it
# always runs, against the worker left unconfined (cf-encode --unconfined, a measuring aid),
# one pass each: the ratios confined / unconfined of wall and processor time (budget <= 1.01).
#
#   bench/encode_bench.sh [BUILD_DIR] [SECONDS]
#
# Needs the ffmpeg program (apt-get install ffmpeg). Each conversion runs twice and the
# faster run counts, as the machine may be shared.
set -euo pipefail

build=$(realpath "${1:-build}")
seconds=${2:-600}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

clip="$work/clip.mpg"
echo "making a ${seconds}-second clip ..."
"$build/tools/clips/cf-makeclip" --seconds "$seconds" "$clip"

now() { date +%s.%N; }

# Runs a command once; its wall time in seconds goes to $took.
time_of() {
    local start end
    start=$(now)
    "$@" >"$work/last.out" 2>"$work/last.err" || { cat "$work/last.err" >&2; exit 1; }
    end=$(now)
    took=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')
}

# The smaller of two times; the first may be empty.
least() {
    if [[ -z "$1" ]] || awk -v t="$2" -v b="$1" 'BEGIN { exit !(t < b) }'; then echo "$2"; else echo "$1"; fi
}

# Runs a command twice; prints the faster wall time in seconds.
best_of_two() {
    local best=""
    for _ in 1 2; do
        time_of "$@"
        best=$(least "$best" "$took")
    done
    echo "$best"
}

ff=(ffmpeg -nostdin -hide_banner -loglevel error -y -i "$clip" -vf scale=320:240 -c:v wmv2 -b:v 300k)
ff_audio=(-c:a wmav2 -b:a 48k -ar 44100 -ac 2)

ffmpeg_two_pass() {
    "${ff[@]}" "$@" -pass 1 -passlogfile "$work/pass" -an -f null /dev/null
    "${ff[@]}" "$@" "${ff_audio[@]}" -pass 2 -passlogfile "$work/pass" "$work/ff2.wmv"
}

echo "one pass ..."
export WMENC_REPORT_MEMORY=1
cf1=$(best_of_two "$build/tools/cf-encode" "$clip" "$work/cf1.wmv")
peak1=$(grep -o 'peak memory [0-9]*' "$work/last.err" | awk '{ if ($3 > m) m = $3 } END { print m }')
tail -1 "$work/last.out"
ff1=$(best_of_two "${ff[@]}" "${ff_audio[@]}" "$work/ff1.wmv")
ff1t=$(best_of_two "${ff[@]}" -threads 1 "${ff_audio[@]}" "$work/ff1t.wmv")

echo "two passes ..."
cf2=$(best_of_two "$build/tools/cf-encode" --passes 2 "$clip" "$work/cf2.wmv")
peak2=$(grep -o 'peak memory [0-9]*' "$work/last.err" | awk '{ if ($3 > m) m = $3 } END { print m }')
ff2=$(best_of_two ffmpeg_two_pass)

echo "confined against unconfined ..."
# Runs a command once; its wall time goes to $took and its processor time (user and system,
# the worker's included) to $cpu, which a shared machine disturbs less.
time_and_cpu_of() {
    local TIMEFORMAT="%R %U %S" times
    times=$({ time "$@" >"$work/last.out" 2>"$work/last.err"; } 2>&1) || { cat "$work/last.err" >&2; exit 1; }
    took=$(awk '{ print $1 }' <<<"$times")
    cpu=$(awk '{ printf "%.3f", $2 + $3 }' <<<"$times")
}
confined=""; confined_cpu=""; unconfined=""; unconfined_cpu=""
run_confined() {
    time_and_cpu_of "$build/tools/cf-encode" --verbose "$clip" "$work/c.wmv"
    confined=$(least "$confined" "$took"); confined_cpu=$(least "$confined_cpu" "$cpu")
    confinement=$(grep -o 'WMEncWorker: .*seccomp.*' "$work/last.err" | head -1)
}
run_unconfined() {
    time_and_cpu_of "$build/tools/cf-encode" --unconfined "$clip" "$work/u.wmv"
    unconfined=$(least "$unconfined" "$took"); unconfined_cpu=$(least "$unconfined_cpu" "$cpu")
}
# Alternating, each first in turn, so that a busy moment of the machine falls on both alike.
for round in 1 2 3 4 5 6; do
    if ((round % 2)); then run_confined; run_unconfined; else run_unconfined; run_confined; fi
done

ratio() { awk -v a="$1" -v b="$2" -v d="${3:-2}" 'BEGIN { printf "%.*f", d, a / b }'; }
echo
echo "clip: ${seconds} s, 352x240 MPEG-1 + MP2; profile Kestrel Medium"
printf 'one pass:   cf-encode %ss  ffmpeg %ss  ratio %s  (ffmpeg -threads 1 %ss, ratio %s)\n' \
    "$cf1" "$ff1" "$(ratio "$cf1" "$ff1")" "$ff1t" "$(ratio "$cf1" "$ff1t")"
printf 'two passes: cf-encode %ss  ffmpeg %ss  ratio %s\n' "$cf2" "$ff2" "$(ratio "$cf2" "$ff2")"
printf 'worker peak memory: one pass %s MB, two passes %s MB\n' \
    "$(awk -v k="$peak1" 'BEGIN { printf "%.1f", k / 1024 }')" "$(awk -v k="$peak2" 'BEGIN { printf "%.1f", k / 1024 }')"
printf 'confinement (%s), one pass, best of six:\n' "${confinement#WMEncWorker: }"
printf '  wall time:      confined %ss  unconfined %ss  ratio %s\n' \
    "$confined" "$unconfined" "$(ratio "$confined" "$unconfined" 3)"
printf '  processor time: confined %ss  unconfined %ss  ratio %s\n' \
    "$confined_cpu" "$unconfined_cpu" "$(ratio "$confined_cpu" "$unconfined_cpu" 3)"
