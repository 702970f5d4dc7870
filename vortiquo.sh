#!/usr/bin/env bash
# Vortiquo's one entry point on a Debian 12 machine:
#   ./vortiquo.sh run [NAME]
#       installs what running needs, builds that program alone and starts it
#       (BrisutaW7 by default; the names are the rows of apps/Programs.cpp)
#   ./vortiquo.sh test
#       installs what the tests need, builds everything with warnings as
#       errors, runs every test (end-to-end runs on Xvfb and a short soak
#       included), checks the Debian package, runs every test again under
#       AddressSanitizer+UBSan, fuzzes each fuzz target for 30 seconds, and
#       makes a short benchmark run, plain and under the sanitizers
set -euo pipefail
cd "$(dirname "$0")"

# What building and running a program needs: the compiler, Qt with its
# private headers (the window's event dispatcher wraps the platform's own),
# its SVG icon engine (the window icon), its charts (the plots of the
# analysis windows) and its Italian translations, and the fonts the windows
# are laid out for.
RUN_PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-base-private-dev qt6-charts-dev libqt6svg6 qt6-translations-l10n fonts-dejavu-core fonts-dejavu-extra fonts-urw-base35)
# What the tests add: an X server for the benchmark and the end-to-end runs,
# the X test library they click with, a comma-decimal locale, the tools that
# build and check the Debian package, its launchers and its metainfo, and
# clang with its fuzzing runtime for the fuzz targets; ffmpeg for the video
# tests, GNU parallel and a one-machine SLURM with munge for the cluster
# examples' tests, and a headless Wayland compositor with Qt's Wayland
# plugin for the run's dispatcher on Wayland.
TEST_PACKAGES=(xvfb xauth libxtst6 locales desktop-file-utils appstream lintian dpkg-dev clang-14 libclang-rt-14-dev
    ffmpeg parallel slurm-wlm munge weston qt6-wayland)
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo

install_missing() {  # install_missing PACKAGE...
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}"
        $SUDO apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
    fi
}

# A comma-decimal locale, so the tests prove that parsing ignores the locale.
install_test_locale() {
    if ! locale -a 2>/dev/null | grep -qix 'it_IT.utf8'; then
        $SUDO localedef -i it_IT -f UTF-8 it_IT.UTF-8
    fi
}

# The program names, read from the program table as the build reads them.
program_names() {
    sed -n 's/^ *{"\([A-Za-z0-9]*\)",.*/\1/p' apps/Programs.cpp
}

usage() {
    echo "usage: $0 run [$(program_names | paste -sd '|')] | $0 test" >&2
    exit 2
}

configure() {  # configure DIR [cmake options...]
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
}

run_tests() {  # run_tests DIR
    ctest --test-dir "$1" --output-on-failure -j "$(nproc)"
}

case "${1:-run}" in
run)
    program=${2:-BrisutaW7}
    if ! program_names | grep -qx -- "$program"; then
        echo "$0: no program named '$program'" >&2
        usage
    fi
    install_missing "${RUN_PACKAGES[@]}"
    configure build-run -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DVORTIQUO_WERROR=OFF
    cmake --build build-run --target "$program"
    exec "build-run/apps/$program"
    ;;
test)
    install_missing "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    install_test_locale
    configure build -DCMAKE_BUILD_TYPE=Release -DVORTIQUO_WERROR=ON
    cmake --build build
    run_tests build
    packaging/check.sh build
    configure build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVORTIQUO_WERROR=ON -DVORTIQUO_SANITIZE=ON
    cmake --build build-sanitize
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_tests build-sanitize
    tests/fuzz/run-fuzzers.sh 30
    bench/run-benchmark.sh --smoke
    # The benchmark under the sanitizers too; Qt's D-Bus thread leaves a few
    # bytes inside libdbus at exit under X, and only that is suppressed.
    VORTIQUO_BUILD_DIR=build-sanitize VORTIQUO_BENCH_CONFIGURE=no \
        ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        LSAN_OPTIONS="suppressions=$PWD/bench/lsan-suppressions.txt:print_suppressions=0" \
        bench/run-benchmark.sh --smoke
    ;;
*)
    usage
    ;;
esac
