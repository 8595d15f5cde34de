#!/bin/bash
# Builds the converter's libFuzzer targets with clang (build-fuzz/, ASan + UBSan) and runs
# each for a bounded time on a temporary corpus seeded from the test data.
#   scripts/fuzz.sh [seconds per target, default 60] [target ...]
# Prints executions and findings per target; exits 1 when anything was found. Findings are
# kept in the temporary folder it names; nothing is written into the repository. Once a
# finding is fixed, keep it in tools/bmconv/fuzz/crashes/<target>/: ctest replays those
# files (with the seeds) through the same entry point on every run, and they seed here too.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_mbm_read fuzz_bmp_read)
testdata="${ZEMBREL_TESTDATA:-$root/tests/data}"
build="$root/build-fuzz"

if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
    echo "usage: $0 [seconds per target] [target ...]" >&2
    exit 2
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DZEMBREL_FUZZ=ON \
    -DZEMBREL_BUILD_TESTS=OFF -DZEMBREL_BUILD_BENCH=OFF -DZEMBREL_BUILD_WINDOWS=OFF -DZEMBREL_TESTDATA="$testdata" >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}"

work="$(mktemp -d "${TMPDIR:-/tmp}/zembrel-fuzz.XXXXXX")"
echo "Corpus and findings in $work"

# Seeds: copies of the test data, so the fuzzer never writes next to it.
seed() {
    local target="$1" corpus="$2"
    mkdir -p "$corpus"
    find "$root/tools/bmconv/fuzz/crashes/$target" -type f -exec cp -t "$corpus" {} + 2>/dev/null || true
    case "$target" in
    fuzz_mbm_read)
        find "$testdata" -name '*.mbm' -size -64k -exec cp -t "$corpus" {} + ;;
    fuzz_bmp_read)
        find "$testdata" -name '*.bmp' -size -64k -exec cp -t "$corpus" {} + ;;
    esac
}

status=0
for target in "${targets[@]}"; do
    corpus="$work/$target/corpus"
    findings="$work/$target/findings"
    seed "$target" "$corpus"
    mkdir -p "$findings"
    log="$work/$target/log.txt"
    set +e
    "$build/fuzz/$target" "$corpus" -max_total_time="$seconds" -max_len=65536 \
        -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$findings/" >"$log" 2>&1
    rc=$?
    set -e
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
    found=$(find "$findings" -type f | wc -l)
    echo "$target: ${runs:-?} executions in ${seconds} s, $found finding(s), fuzzer exit $rc"
    if [ "$found" -gt 0 ] || [ "$rc" -ne 0 ]; then
        status=1
        find "$findings" -type f -printf '  %p\n'
        grep -m1 -A12 'ERROR\|runtime error' "$log" | sed 's/^/  /' || true
    fi
done
exit $status
