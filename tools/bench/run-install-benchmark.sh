#!/usr/bin/env bash
# The install benchmark: the test host's whole installation (a), the floor of the design (b)
# and an NSIS 3 installer of the same files (c), each run in a fresh Wine prefix and timed
# inside Wine by measure_process; prints the medians, the ratios and the peak working sets.
#   tools/bench/run-install-benchmark.sh [runs]     (default 5; build folder build/bench,
#                                                    or $CV_BENCH_BUILD)
# Installs Debian's nsis package when makensis is missing (as root).
set -euo pipefail

cd "$(dirname "$0")/../.."
runs=${1:-5}
build=${CV_BENCH_BUILD:-build/bench}

if ! command -v makensis >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y nsis >/dev/null
fi
export CV_DEPS_PREFIX=${CV_DEPS_PREFIX:-$(tools/build-deps.sh)}
[ -f "$build/CMakeCache.txt" ] || cmake --preset default -B "$build" >/dev/null
cmake --build "$build" --target install_benchmark >/dev/null

bench=$build/bench
mkdir -p "$bench"
manifests=$(sed -n 's/^demo_manifests:INTERNAL=//p' "$build/CMakeCache.txt" | tr ';' ' ')
# shellcheck disable=SC2086
python3 tools/bench/make_nsis_installer.py "$bench/nsis_benchmark.nsi" "$bench/nsis_benchmark.exe" $manifests >/dev/null

. tools/bench/wine-session.sh
bin=$build/tests/bin
declare -A command=(
  [a]="$(windows "$bin/install_host.exe")"
  [b]="$(windows "$bin/install_floor.exe") C:\\floor-benchmark"
  [c]="$(windows "$bench/nsis_benchmark.exe") /S /D=C:\\nsis-benchmark"
)
declare -A name=([a]="host installation" [b]="floor (decompress x2, write, read back)" [c]="NSIS 3, solid bzip2")

results=$bench/results.txt
: >"$results"
echo "load before: $(uptime)"
for run in $(seq "$runs"); do
  # One run of each in turn, so that a change of the machine's load meets all three.
  for which in a b c; do
    log=$bench/run-$which-$run.log
    # shellcheck disable=SC2086
    CV_FRESH_PREFIX=1 tools/wine-run.sh "$(windows "$bin/measure_process.exe")" ${command[$which]} >"$log" 2>&1 || true
    line=$(grep -a '^measure:' "$log" || echo "measure: failed")
    echo "$which $run $line" | tee -a "$results"
    case $line in *" exit=0"*) ;; *) echo "run $which $run failed, see $log" >&2; exit 1 ;; esac
  done
done
echo "load after: $(uptime)"

python3 - "$results" "${name[a]}" "${name[b]}" "${name[c]}" <<'PY'
import re, statistics, sys
figures = {}
for line in open(sys.argv[1]):
    which, _run, rest = line.split(" ", 2)
    seconds = float(re.search(r"seconds=([0-9.]+)", rest).group(1))
    peak = int(re.search(r"peak_working_set=(-?[0-9]+)", rest).group(1))
    figures.setdefault(which, []).append((seconds, peak))
names = dict(zip("abc", sys.argv[2:]))
median = {w: statistics.median(s for s, _ in runs) for w, runs in figures.items()}
peak = {w: max(p for _, p in runs) for w, runs in figures.items()}
for w in "abc":
    times = " ".join(f"{s:.2f}" for s, _ in figures[w])
    print(f"({w}) {names[w]:<42} median {median[w]:6.2f} s   runs {times}   peak working set {peak[w] / 2**20:.1f} MiB")
print(f"a/b = {median['a'] / median['b']:.2f}   (target at most 1.15)")
print(f"a/c = {median['a'] / median['c']:.2f}   (target at most 2.2)")
print(f"installer's peak working set {peak['a'] / 2**20:.1f} MiB   (target under 16 MB)")
PY
