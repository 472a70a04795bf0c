#!/usr/bin/env bash
# Where the test host's installation spends its time: one run in a fresh prefix with Wine's
# time-stamped traces of module loads, the progress bar and the details log, cut into phases.
# The traces slow the run a little; the benchmark itself (run-install-benchmark.sh) runs without.
#   tools/bench/profile-install-phases.sh      (after run-install-benchmark.sh has built build/bench)
set -euo pipefail

cd "$(dirname "$0")/../.."
build=${CV_BENCH_BUILD:-build/bench}
bin=$build/tests/bin
trace=$build/bench/phases.trace
mkdir -p "$build/bench"

. tools/bench/wine-session.sh
WINEDEBUG=+timestamp,+loaddll,+progress,+edit CV_FRESH_PREFIX=1 tools/wine-run.sh \
  "$(windows "$bin/measure_process.exe")" "$(windows "$bin/install_host.exe")" >/dev/null 2>"$trace" || true

python3 - "$trace" <<'PY'
import re, sys
stamp = lambda line: float(line.split(":", 1)[0])
marks, setpos = {}, []
measured = None
for line in open(sys.argv[1], errors="replace"):
    if line.startswith("measure:"):
        measured = float(re.search(r"seconds=([0-9.]+)", line).group(1))
        continue
    if not re.match(r"^\d+\.\d+:", line):
        continue
    def first(name):
        marks.setdefault(name, stamp(line))
    if "Loaded" in line and "measure_process.exe" in line: first("measure")
    elif "Loaded" in line and "install_host.exe" in line: first("host")
    elif "BCryptGenRandom" in line: first("install")
    elif "ProgressWindowProc" in line and "msg 0402" in line: setpos.append(stamp(line))
    elif "Loaded" in line and "DSetup.dll" in line: first("directx")
    elif "Loaded" in line and "Veltrano.exe" in line: first("product")
    elif "EDIT_EM_ReplaceSel" in line and "Installation Data" in line: first("commit")
    elif "Progress Ctrl destruction" in line: first("teardown")
    elif "wait_for_withdrawn_state" in line and "timed out" in line: first("x11wait")
if measured is None or len(setpos) < 3:
    sys.exit("the traced run did not finish; see " + sys.argv[1])
# SetPos(0) comes before the verification pass; the reader's first progress after it.
marks["extraction"], marks["extracted"] = setpos[1], setpos[-1]
marks["end"] = marks["measure"] + measured
phases = [
    ("process start to Install()", "measure", "install"),
    ("verification pass (first decompression)", "install", "extraction"),
    ("extraction pass (decompress, write, read back, handlers)", "extraction", "extracted"),
    ("read-only marks and shortcuts", "extracted", "directx"),
    ("DirectX step and registry values", "directx", "product"),
    ("product's registration run", "product", "commit"),
    ("commit, log file, status", "commit", "teardown"),
    ("end of the host (window destroyed, process exit)", "teardown", "end"),
]
for name, start, stop in phases:
    if start in marks and stop in marks:
        print(f"{name:<58} {marks[stop] - marks[start]:6.2f} s")
if "x11wait" in marks:
    print(f"  of which X11 wait for a window manager (none under Xvfb)  {marks['x11wait'] - marks['teardown']:6.2f} s")
print(f"{'whole run, timed by measure_process':<58} {measured:6.2f} s")
PY
