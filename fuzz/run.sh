#!/usr/bin/env bash
# Fuzzes the bitmap reader for the given number of seconds (default 60): builds the fuzz target
# with clang, replays the bitmap corpus of tests/data under valgrind (no read of memory left
# uninitialised), then lets libFuzzer mutate those files. Inputs that cover new code are kept in
# build-fuzz/corpus for the next run; a failing input lands in build-fuzz/findings.
set -euo pipefail

seconds=${1:-60}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$here/build-fuzz"
data="$here/tests/data"

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++-14 -DQUORBEL_FUZZ=ON >/dev/null
cmake --build "$build" --parallel 2
inputs=("$data/bmpsuite/g" "$data/bmpsuite/q" "$data/bmpsuite/b" "$data/bmpsuite/x"
    "$data/crafted")

find "${inputs[@]}" -type f -name '*.bmp' -print0 \
    | xargs -0 valgrind -q --error-exitcode=1 --track-origins=yes "$build/fuzz/fuzz_bmpdecoder_replay"

# Limits: the largest frame the reader accepts is 2^25 pixels, 96 MiB at 3 bytes a pixel, and an
# input is at most 128 KiB: no single allocation may pass 136 MiB, so a header's claim alone can
# never make the reader allocate more than a real frame needs. The RSS limit leaves room for the
# sanitizer's shadow memory and its quarantine of freed blocks on top of one largest image; 25 s
# for one input counts as a hang.
mkdir -p "$build/corpus" "$build/findings"
exec "$build/fuzz/fuzz_bmpdecoder" "$build/corpus" "${inputs[@]}" \
    -max_total_time="$seconds" -max_len=131072 -malloc_limit_mb=136 -rss_limit_mb=1024 \
    -timeout=25 -print_final_stats=1 -artifact_prefix="$build/findings/"
