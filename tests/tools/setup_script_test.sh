#!/usr/bin/env bash
# tools/setup.sh with stand-ins on an otherwise empty PATH: dpkg-query answers from a list of
# installed packages, apt-get and sudo record their calls instead of installing.
set -u
script="$1"
bash_path="$(command -v bash)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check NAME CONDITION...
  local name="$1"; shift
  if "$@"; then echo "ok: $name"; else echo "FAILED: $name"; failures=$((failures + 1)); fi
}

mkdir -p "$work/bin"
cat > "$work/bin/dpkg-query" <<STUB
#!$bash_path
# dpkg-query -W -f=FORMAT PACKAGE
read -r -a present < "$work/installed"
for p in "\${present[@]}"; do
  if [ "\$p" = "\${!#}" ]; then echo -n "install ok installed"; exit 0; fi
done
echo "dpkg-query: no packages found matching \${!#}" >&2
exit 1
STUB
cat > "$work/apt-get" <<STUB
#!$bash_path
echo "apt-get \$*" >> "$work/calls"
STUB
chmod +x "$work/bin/dpkg-query" "$work/apt-get"
run() {  # run ARGS...: the script with only the stand-ins on PATH
  rm -f "$work/calls"
  PATH="$work/bin" "$bash_path" "$script" "$@" > "$work/out" 2> "$work/err"
  echo $? > "$work/status"
}
program="cmake g++ make libncurses-dev nlohmann-json3-dev pkg-config libcairo2-dev fonts-dejavu-core"
everything="$program googletest libgtest-dev libbenchmark-dev tmux python3 clang libclang-rt-14-dev chromium"

# Everything present: nothing installed, nothing said, status 0, with or without apt-get.
echo "$everything" > "$work/installed"
cp "$work/apt-get" "$work/bin/apt-get"
for option in "" --tests --ci; do
  run $option
  check "all present $option: status 0" [ "$(cat "$work/status")" = 0 ]
  check "all present $option: silent" [ ! -s "$work/out" -a ! -s "$work/err" ]
  check "all present $option: apt-get not called" [ ! -e "$work/calls" ]
done

# The program's packages present, the tests' missing: only the tests' packages are named.
echo "$program" > "$work/installed"
run
check "program set present: nothing installed" [ ! -e "$work/calls" ]
if [ "$(id -u)" -eq 0 ]; then
  run --tests
  check "as root: apt-get installs exactly the missing" \
    grep -qx "apt-get install -y -qq googletest libgtest-dev libbenchmark-dev tmux python3" "$work/calls"
fi

# No apt-get: status 1 and a message that names each missing package.
rm -f "$work/bin/apt-get"
echo "cmake g++" > "$work/installed"
run --tests
check "no apt-get: status 1" [ "$(cat "$work/status")" = 1 ]
for p in make libncurses-dev googletest libgtest-dev libbenchmark-dev tmux; do
  check "no apt-get: names $p" grep -q -- " $p" "$work/err"
done
check "no apt-get: does not name what is present" [ -z "$(grep -e ' cmake' -e ' g++' "$work/err")" ]
check "no apt-get: says apt-get is missing" grep -q "no apt-get" "$work/err"

# An unknown option is refused.
run --everything
check "unknown option: status 64" [ "$(cat "$work/status")" = 64 ]

echo "$failures failed"
[ "$failures" -eq 0 ]
