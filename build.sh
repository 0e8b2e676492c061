#!/usr/bin/env bash
# Installs what the game needs from Debian's packages, builds it, and then
# starts the game, runs the tests or makes the Debian package.
#
#   bash build.sh play       install, build the game alone and start it
#   bash build.sh test       install, build everything and run the whole test suite
#   bash build.sh package    install, build and make build-package/drawpoker_*.deb
#
# Once everything is installed no command calls the package manager, so all
# of them run offline.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

# Real package names only: dpkg never reports a virtual package installed.
# The hand history needs Qt SQL's SQLite driver, a plug-in that nothing
# links, and its statistics draw with Qt Charts.
build_packages=(cmake make g++ pkg-config qt6-base-dev qt6-svg-dev qt6-multimedia-dev
                libqt6sql6-sqlite qt6-charts-dev
                libgl-dev libxcb1-dev fonts-liberation2 fontconfig)
# CPack's Debian generator finds the dependencies with dpkg-shlibdeps, and
# the programs to give it with file.
package_packages=(dpkg-dev file)
# Benchmarks, the fuzzer (clang with its runtime), the end-to-end test in a
# real X server (Xvfb, a window manager, xdotool, the X utilities that report
# window places, ImageMagick's import and compare), and the checks of the
# installed menu entry, metadata and manual pages.
test_packages=(libbenchmark-dev clang libclang-rt-14-dev xvfb openbox xdotool x11-utils wmctrl imagemagick
               "${package_packages[@]}" desktop-file-utils appstream man-db)

# The packages of the list that dpkg does not report as installed, one a line.
missing_packages() {
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
            || echo "$package"
    done
}

install_missing() {
    local missing
    mapfile -t missing < <(missing_packages "$@")
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q "${missing[@]}"
    # A name that stays missing would send every later run back to the network.
    mapfile -t missing < <(missing_packages "$@")
    if [ ${#missing[@]} -ne 0 ]; then
        echo "Still not installed after apt-get: ${missing[*]}" >&2
        exit 1
    fi
}

# Configures the build and builds the targets given, or everything.
build() {
    cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build -j "$(nproc)" "$@"
}

# A release build of the game and its tools alone, packaged with CPack.
make_package() {
    cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
    cmake --build build-package -j "$(nproc)"
    rm -f build-package/drawpoker_*.deb
    (cd build-package && cpack -G DEB >/dev/null)
    local deb
    deb=$(ls build-package/drawpoker_*.deb)
    echo "Made $deb; install it with:  sudo apt install ./$deb"
}

run_tests() {
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$1" --output-on-failure -j "$(nproc)"
}

# The high-score reader and the decoding of the hand history's rows under
# libFuzzer, about a minute each, side by side where there are two cores.
fuzz() {
    cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DDRAWPOKER_FUZZ=ON >/dev/null
    cmake --build build-fuzz -j "$(nproc)"
    run_tests build-fuzz
}

# The whole suite again with AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer; any report fails the test that caused it.
sanitized() {
    cmake -S . -B build-asan -DDRAWPOKER_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build build-asan -j "$(nproc)"
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        run_tests build-asan
}

case "${1:-}" in
play)
    install_missing "${build_packages[@]}"
    build --target drawpoker
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "There is no display to open the game's window on."
        echo "Run it in a virtual X server instead:  xvfb-run -a build/src/drawpoker"
        echo "(apt-get install xvfb xauth brings xvfb-run)."
        exit 1
    fi
    exec build/src/drawpoker
    ;;
test)
    install_missing "${build_packages[@]}" "${test_packages[@]}"
    fuzz
    sanitized
    build
    run_tests build
    ;;
package)
    install_missing "${build_packages[@]}" "${package_packages[@]}"
    make_package
    ;;
*)
    echo "usage: bash build.sh play|test|package" >&2
    exit 2
    ;;
esac
