#!/usr/bin/env bash
# Builds Quorbel and then starts it (./build.sh run), runs every test headless (./build.sh test),
# makes the Debian package (./build.sh package) or runs the benchmark (./build.sh bench
# [workloads] [--rounds N]; ./build.sh bench pack [--rounds N] for the packing workload). Missing
# build packages are installed with apt-get when run as root; otherwise the one command that
# installs them is printed. run builds only the two programs, so the window appears without
# waiting for the tests.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build="$here/build"
# rsvg-convert (librsvg2-bin) renders the icon's bitmap sizes; the forms' captions are fitted to
# DejaVu Sans, the font every Debian desktop has. PNG sheets are compressed with libdeflate and
# joined with zlib.
packages=(cmake ninja-build g++ qt6-base-dev libpng-dev libdeflate-dev zlib1g-dev librsvg2-bin
    fonts-dejavu-core)
[ "${1:-}" = run ] && [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && packages+=(xvfb xauth)
# The tests also fuzz the bitmap reader with clang 14's libFuzzer and check it under valgrind,
# and start the program on an invisible X server with a window manager, as a desktop does.
[ "${1:-}" = test ] && packages+=(clang clang-14 libclang-rt-14-dev valgrind xvfb xauth openbox)
# ... load quorbel-sheet's sheets into game engines in Debian's Chromium, through npm packages
# (node and npm may already be there from elsewhere) ...
[ "${1:-}" = test ] && packages+=(chromium)
[ "${1:-}" = test ] && ! command -v npm >/dev/null && packages+=(nodejs npm)
# ... and check that the code keeps the layout .clang-format describes.
[ "${1:-}" = test ] && packages+=(clang-format)
# The package's dependencies are read off the programs by dpkg-shlibdeps; the tests also check
# the package with the desktop's own validators.
[ "${1:-}" = package ] && packages+=(dpkg-dev)
[ "${1:-}" = test ] && packages+=(dpkg-dev desktop-file-utils appstream)

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
targets=()
[ "${1:-}" = run ] && targets=(--target quorbel quorbel-sheet)
cmake --build "$build" --parallel "${targets[@]}"

# Makes build/quorbel_<version>_<arch>.deb and prints its path.
package() {
    rm -f "$build"/quorbel_*.deb
    (cd "$build" && cpack >/dev/null) || return
    echo "$build"/quorbel_*.deb
}

case "${1:-}" in
run)
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        exec xvfb-run -a "$build/src/quorbel"
    fi
    exec "$build/src/quorbel"
    ;;
test)
    (cd "$here" && find src tests bench fuzz -name '*.cpp' -o -name '*.h' \
        | xargs clang-format --dry-run --Werror)
    # Hostile files, vanishing folders and full disks must never reach undefined behaviour: the
    # whole suite runs once more under the address and undefined-behaviour sanitizers, where
    # any finding fails its test. Then a minute of fuzzing the bitmap reader, and the ordinary
    # suite last, so that its summary ends the output.
    sanitized="$here/build-sanitize"
    cmake -S "$here" -B "$sanitized" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUORBEL_SANITIZE=ON >/dev/null
    cmake --build "$sanitized" --parallel
    (cd "$sanitized" && ctest --output-on-failure)
    "$here/fuzz/run.sh" 60
    # The engines and their driver, pinned by package-lock.json; the browser is Debian's.
    (cd "$here/tests/engines" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund)
    deb=$(package)
    "$here/tests/package.sh" "$deb"
    cd "$build"
    exec ctest --output-on-failure
    ;;
package)
    package
    ;;
bench)
    shift
    [ "${1:-}" = pack ] && shift && exec "$build/bench/packing/packing_bench" "$@"
    exec "$build/bench/quorbel_bench" "$@"
    ;;
*)
    echo "usage: $0 run|test|package|bench" >&2
    exit 2
    ;;
esac
