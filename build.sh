#!/usr/bin/env bash
# Builds Quorbel and then starts it (./build.sh run), runs every test headless (./build.sh test)
# or runs the benchmark (./build.sh bench [workloads] [--rounds N]). Missing build packages are
# installed with apt-get when run as root; otherwise the one command that installs them is
# printed.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build="$here/build"
packages=(cmake ninja-build g++ qt6-base-dev)
[ "${1:-}" = run ] && [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && packages+=(xvfb xauth)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
        || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -eq 0 ]; then
        apt-get update -q
        DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
    else
        echo "Quorbel needs these packages first:"
        echo "  sudo apt-get install -y ${missing[*]}"
        exit 1
    fi
fi

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel

case "${1:-}" in
run)
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        exec xvfb-run -a "$build/src/quorbel"
    fi
    exec "$build/src/quorbel"
    ;;
test)
    # The bitmap reader meets hostile files, so its tests also run under the address and
    # undefined-behaviour sanitizers, before the whole suite.
    sanitized="$here/build-sanitize"
    cmake -S "$here" -B "$sanitized" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUORBEL_SANITIZE=ON >/dev/null
    cmake --build "$sanitized" --parallel --target tst_bmpdecoder tst_bmpcorpus tst_bitmapfile
    (cd "$sanitized" && ctest --output-on-failure -R 'tst_bmp|tst_bitmapfile')
    cd "$build"
    exec ctest --output-on-failure
    ;;
bench)
    shift
    exec "$build/bench/quorbel_bench" "$@"
    ;;
*)
    echo "usage: $0 run|test|bench" >&2
    exit 2
    ;;
esac
