#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer on)
# and runs each for a bounded time from the seed corpus in fuzz/corpus/. Fails on any crash,
# sanitizer report, broken check, or an input under 1 MB that takes more than a second.
#
#   scripts/fuzz.sh [target ...]              fuzz (default: all targets), FUZZ_SECONDS each (60)
#   scripts/fuzz.sh --coverage [target ...]   lines of src/ the seeds and the inputs found so far
#                                             reach, from a separate coverage build
#
# Inputs the fuzzer finds go to fuzz-build/found/<target>/ (the committed seeds stay as they
# are); a failing input is kept as fuzz-build/artifacts/<target>/crash-* or timeout-* and can
# be replayed with: fuzz-build/fuzz/fuzz/<target> <file>
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

./scripts/install-deps.sh --fuzz

coverage=0
if [ "${1:-}" = "--coverage" ]; then
  coverage=1
  shift
fi
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_report fuzz_placement fuzz_keeper)
seconds=${FUZZ_SECONDS:-60}
out=fuzz-build # where scripts/build.sh --fuzz and --fuzz-coverage build

seeds_of() {
  case "$1" in
    fuzz_report) echo "$root/fuzz/corpus/report" ;;
    fuzz_placement) echo "$root/fuzz/corpus/placement" ;;
    fuzz_keeper) echo "$root/fuzz/corpus/keeper" ;;
    *) echo "fuzz.sh: unknown target $1" >&2; exit 2 ;;
  esac
}

build() { # kind: --fuzz or --fuzz-coverage
  ./scripts/build.sh "$1" --target "${targets[@]}"
}

if [ $coverage -eq 1 ]; then
  build --fuzz-coverage
  profiles=()
  for t in "${targets[@]}"; do
    mkdir -p "$out/found/$t"
    rm -f "$out/coverage/$t".*.profraw
    # -runs=0: every input of the folders once, no fuzzing.
    LLVM_PROFILE_FILE="$root/$out/coverage/$t.%p.profraw" \
      "$out/coverage/fuzz/$t" -runs=0 "$out/found/$t" "$(seeds_of "$t")" >"$out/coverage/$t.log" 2>&1
    llvm-profdata merge -sparse "$out/coverage/$t".*.profraw -o "$out/coverage/$t.profdata"
    profiles+=("$out/coverage/$t.profdata")
    echo "== $t: $(find "$out/found/$t" "$(seeds_of "$t")" -type f | wc -l) inputs"
    llvm-cov report "$out/coverage/fuzz/$t" -instr-profile="$out/coverage/$t.profdata" \
      -ignore-filename-regex='(/usr/|/fuzz/|_autogen/)' | tee "$out/coverage/$t.report.txt"
  done
  llvm-profdata merge -sparse "${profiles[@]}" -o "$out/coverage/all.profdata"
  objects=()
  for t in "${targets[@]:1}"; do objects+=(-object "$out/coverage/fuzz/$t"); done
  llvm-cov export -format=text -summary-only "$out/coverage/fuzz/${targets[0]}" "${objects[@]}" \
    -instr-profile="$out/coverage/all.profdata" -ignore-filename-regex='(/usr/|/fuzz/|_autogen/)' \
    >"$out/coverage/all.json"
  # Lines covered per folder of src/, all targets together.
  python3 - "$out/coverage/all.json" <<'PY'
import json, re, sys
folders = {}
for f in json.load(open(sys.argv[1]))["data"][0]["files"]:
    m = re.search(r"/src/([^/]+)/", f["filename"])
    if not m:
        continue
    lines = f["summary"]["lines"]
    c, n = folders.get(m.group(1), (0, 0))
    folders[m.group(1)] = (c + lines["covered"], n + lines["count"])
for name, (c, n) in sorted(folders.items()):
    print(f"src/{name}/: {c} of {n} lines covered ({100.0 * c / n:.1f}%) in the files the targets link")
PY
  exit 0
fi

build --fuzz
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
summary=()
for t in "${targets[@]}"; do
  mkdir -p "$out/found/$t" "$out/artifacts/$t"
  log="$out/artifacts/$t/last-run.log"
  echo "== $t: ${seconds}s from $(seeds_of "$t")"
  # The first folder takes what the run finds; the seeds are only read.
  if ! "$out/fuzz/fuzz/$t" -max_total_time="$seconds" -timeout=1 -max_len=1048576 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$out/artifacts/$t/" "$out/found/$t" "$(seeds_of "$t")" \
      >"$log" 2>&1; then
    failed=$((failed + 1))
    echo "!! $t failed; its log:"
    grep -v -E '^#[0-9]+' "$log" | tail -60
  fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  cov=$(grep -E '^#[0-9]+' "$log" | tail -1 | sed -n 's/.*cov: \([0-9]*\).*ft: \([0-9]*\).*/\1 edges, \2 features/p')
  summary+=("$t: ${execs:-?} executions, ${rate:-?}/s, ${cov:-?}")
done
printf '%s\n' "${summary[@]}"
echo "fuzz: $((${#targets[@]} - failed)) passed, $failed failed"
[ $failed -eq 0 ]
