#!/usr/bin/env bash
# Installs the Debian packages that building and running Vesperluminal need, and only those
# that are missing; says nothing when everything is there.
#
#   tools/setup.sh            the program: compiler, CMake, ncurses, nlohmann-json, cairo
#                             and the DejaVu fonts (pictures)
#   tools/setup.sh --tests    also GoogleTest, Google Benchmark, tmux and python3 (the test suite)
#   tools/setup.sh --ci       also what CI needs beyond the tests (clang and its fuzzer
#                             runtime, chromium for the page test)
#
# As root it runs apt-get; otherwise sudo apt-get. Where neither can be used it names the
# packages and stops (status 1), so that they can be installed by hand.
set -euo pipefail

packages=(cmake g++ make libncurses-dev nlohmann-json3-dev pkg-config libcairo2-dev fonts-dejavu-core)
for option in "$@"; do
  case "$option" in
    --tests) packages+=(googletest libgtest-dev libbenchmark-dev tmux python3) ;;
    --ci) packages+=(googletest libgtest-dev libbenchmark-dev tmux python3 clang libclang-rt-14-dev chromium) ;;
    -h|--help) sed -n '2,11p' "$0"; exit 0 ;;
    *) echo "tools/setup.sh: unknown option \"$option\" (--tests, --ci)" >&2; exit 64 ;;
  esac
done

installed() {
  command -v dpkg-query >/dev/null 2>&1 &&
    [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]
}

missing=()
for package in "${packages[@]}"; do
  case " ${missing[*]-} " in *" $package "*) continue ;; esac
  installed "$package" || missing+=("$package")
done
[ "${#missing[@]}" -eq 0 ] && exit 0

if ! command -v apt-get >/dev/null 2>&1; then
  echo "tools/setup.sh: missing packages: ${missing[*]}" >&2
  echo "tools/setup.sh: there is no apt-get here (not Debian?): install these, or your system's" \
       "equivalents, by hand and run the command again" >&2
  exit 1
fi
if [ "${EUID:-$(id -u)}" -eq 0 ]; then
  run=()
elif command -v sudo >/dev/null 2>&1; then
  run=(sudo)
else
  echo "tools/setup.sh: missing packages: ${missing[*]}" >&2
  echo "tools/setup.sh: not root and no sudo: as root run  apt-get install ${missing[*]}" >&2
  exit 1
fi
echo "tools/setup.sh: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
"${run[@]}" apt-get update -qq
"${run[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
