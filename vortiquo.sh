#!/usr/bin/env bash
# Vortiquo's one entry point on a Debian 12 machine:
#   ./vortiquo.sh run [BrisutaW7|KelvaneW7|TessivoW7|DrumbelW7]
#       installs what is missing, builds, starts a program (BrisutaW7 by default)
#   ./vortiquo.sh test
#       installs what is missing, builds, runs every test, also under
#       AddressSanitizer+UBSan, and a short benchmark smoke run
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake ninja-build g++ qt6-base-dev xvfb xauth locales fonts-dejavu-core fonts-dejavu-extra fonts-urw-base35 libxtst6)
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo

install_missing() {
    local missing=()
    for package in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}"
        $SUDO apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
    fi
    # A comma-decimal locale, so the tests prove that parsing ignores the locale.
    if ! locale -a 2>/dev/null | grep -qix 'it_IT.utf8'; then
        $SUDO localedef -i it_IT -f UTF-8 it_IT.UTF-8
    fi
}

build() {  # build DIR [cmake options...]
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DVORTIQUO_WERROR=ON "$@" >/dev/null
    cmake --build "$dir"
}

run_tests() {  # run_tests DIR
    ctest --test-dir "$1" --output-on-failure -j "$(nproc)"
}

case "${1:-run}" in
run)
    program=${2:-BrisutaW7}
    install_missing
    build build -DCMAKE_BUILD_TYPE=Release
    exec "build/apps/$program"
    ;;
test)
    install_missing
    build build -DCMAKE_BUILD_TYPE=Release
    run_tests build
    build build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVORTIQUO_SANITIZE=ON
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_tests build-sanitize
    if [ -x bench/run-benchmark.sh ]; then
        bench/run-benchmark.sh --smoke
    fi
    ;;
*)
    echo "usage: $0 run [BrisutaW7|KelvaneW7|TessivoW7|DrumbelW7] | $0 test" >&2
    exit 2
    ;;
esac
