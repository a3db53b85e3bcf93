#!/usr/bin/env bash
# Recorded runs: each case of tests/recorded/cases.txt is run with a given program in a scratch
# directory (fixed clock, standard input empty) and everything the run leaves is compared with
# tests/recorded/expected/<case>/: exit status, standard output, standard error and the report
# as full text, every other file in the directory by name and sha256.
#
#   tools/recorded_runs.sh [options] PROGRAM [CASE...]
#
# Without CASE every case runs. Options:
#   --record         write the expectations instead of comparing (only when an output change is
#                    wanted: see tests/recorded/README.md)
#   --keep DIR       leave each case's scratch directory and outcome in DIR/<case>/
#   --max-diff N     print at most N lines of each text diff (default 200, 0 = all)
#   --jobs N         run N cases at once (default 1)
#   --list           print the case names and exit
# Exit status: 0 all cases agree (or were recorded), 1 a case differs, 2 a wrong case list or
# missing expectations, 64 wrong options.
set -uo pipefail
export LC_ALL=C

here="$(cd "$(dirname "$0")/.." && pwd)"
recorded="$here/tests/recorded"
case_list="$recorded/cases.txt"
inputs="$recorded/inputs"
expected="$recorded/expected"
clock=20260101120000
time_limit=120

usage() { sed -n '2,18s/^# \{0,1\}//p' "$0"; }

record=0
jobs=1
keep=""
max_diff=200
list_only=0
while [ $# -gt 0 ]; do
  case "$1" in
    --record) record=1; shift ;;
    --keep) [ $# -ge 2 ] || { usage >&2; exit 64; }; keep="$2"; shift 2 ;;
    --max-diff) [[ $# -ge 2 && "$2" =~ ^[0-9]+$ ]] || { usage >&2; exit 64; }; max_diff="$2"; shift 2 ;;
    --jobs) [[ $# -ge 2 && "$2" =~ ^[1-9][0-9]*$ ]] || { usage >&2; exit 64; }; jobs="$2"; shift 2 ;;
    --list) list_only=1; shift ;;
    -h|--help) usage; exit 0 ;;
    --) shift; break ;;
    -*) echo "recorded_runs: unknown option $1" >&2; usage >&2; exit 64 ;;
    *) break ;;
  esac
done

# Sets REPLY to $1 without its leading and trailing blanks (no subshell: forks are slow).
trim() { REPLY="$1"; REPLY="${REPLY#"${REPLY%%[![:space:]]*}"}"; REPLY="${REPLY%"${REPLY##*[![:space:]]}"}"; }
bad_list() { echo "recorded_runs: $case_list line $1: $2" >&2; exit 2; }

# The case list: "standard: FILE..." names the inputs of every case; each other line is
# "name | inputs | changes | arguments" ("-" for an empty field, "#" starts a comment line).
standard=()
names=()
declare -A case_inputs case_changes case_arguments
line_number=0
while IFS= read -r raw || [ -n "$raw" ]; do
  line_number=$((line_number + 1))
  trim "$raw"; line="$REPLY"
  [ -z "$line" ] && continue
  [ "${line:0:1}" = "#" ] && continue
  if [ "${line:0:9}" = "standard:" ]; then
    read -r -a standard <<< "${line:9}"
    continue
  fi
  IFS='|' read -r name ins changes arguments extra <<< "$line"
  [ -n "${extra:-}" ] && bad_list "$line_number" "more than four fields"
  trim "${name:-}"; name="$REPLY"
  [[ "$name" =~ ^[A-Za-z0-9][A-Za-z0-9._-]*$ ]] || bad_list "$line_number" "case name \"$name\" is not a plain name"
  [ -n "${case_arguments[$name]+set}" ] && bad_list "$line_number" "case $name is listed twice"
  trim "${arguments:-}"; arguments="$REPLY"
  [ -z "$arguments" ] && bad_list "$line_number" "case $name has no program arguments"
  names+=("$name")
  trim "${ins:-}"; case_inputs[$name]="$REPLY"
  trim "${changes:-}"; case_changes[$name]="$REPLY"
  case_arguments[$name]="$arguments"
done < "$case_list"

if [ "$list_only" = 1 ]; then
  printf '%s\n' "${names[@]}"
  exit 0
fi
[ $# -ge 1 ] || { usage >&2; exit 64; }
program="$(realpath "$1")"
shift
[ -x "$program" ] || { echo "recorded_runs: $program is not an executable program" >&2; exit 64; }

selected=("$@")
if [ ${#selected[@]} -eq 0 ]; then
  selected=("${names[@]}")
  # Expectations whose case has left the list would never be checked again.
  for dir in "$expected"/*/; do
    [ -d "$dir" ] || continue
    dir="${dir%/}"
    if [ -z "${case_arguments[${dir##*/}]+set}" ]; then
      echo "recorded_runs: $dir belongs to no case of $case_list (remove it)" >&2
      exit 2
    fi
  done
fi
for name in "${selected[@]}"; do
  [ -n "${case_arguments[$name]+set}" ] || { echo "recorded_runs: no case named $name in $case_list" >&2; exit 2; }
done

if [ -n "$keep" ]; then
  mkdir -p "$keep" && keep="$(cd "$keep" && pwd)" || exit 64
fi
scratch="$(mktemp -d "${TMPDIR:-/tmp}/vl-recorded.XXXXXX")"
trap 'rm -rf "$scratch"' EXIT

# Copies the inputs ("NAME" or "NAME=SOURCE", SOURCE in tests/recorded/inputs) into the run
# directory in their order (a later one replaces an earlier one of the same name); files that
# keep their names go in one cp.
copy_inputs() {
  local name="$1" dir="$2" item dest source
  local -a same=()
  shift 2
  for item in "$@"; do
    [ "$item" = "-" ] && continue
    dest="${item%%=*}"
    source="${item#*=}"
    if [ ! -f "$inputs/$source" ] || [ -z "$dest" ] || [[ "$dest" == */* ]]; then
      echo "recorded_runs: case $name: no input file $inputs/$source (or no name to copy it to)" >&2
      return 1
    fi
    if [ "$dest" = "$source" ]; then
      same+=("$inputs/$source")
    else
      if [ ${#same[@]} -gt 0 ]; then cp "${same[@]}" "$dir/" || return 1; same=(); fi
      cp "$inputs/$source" "$dir/$dest" || return 1
    fi
  done
  [ ${#same[@]} -eq 0 ] || cp "${same[@]}" "$dir/"
}

# Applies one change before the run:
#   rm:FILE            the file is missing
#   cut:FILE:N         only the first N lines of the file are left
#   line:FILE:N:TEXT   line N of the file reads TEXT (TEXT holds no blank; a CR ending stays;
#                      the file then ends with a newline)
apply_change() {
  local name="$1" change="$2" dir="$3" verb file n text rest
  verb="${change%%:*}"
  rest="${change#*:}"
  file="${rest%%:*}"
  if [ "$verb" = "$change" ] || [ -z "$file" ] || [[ "$file" == */* ]]; then
    echo "recorded_runs: case $name: change \"$change\" is not VERB:FILE..." >&2
    return 1
  fi
  case "$verb" in
    rm)
      rm -f "$dir/$file" ;;
    cut)
      n="${rest#*:}"
      [[ "$rest" == *:* && "$n" =~ ^[0-9]+$ ]] || { echo "recorded_runs: case $name: \"$change\" needs cut:FILE:N" >&2; return 1; }
      head -n "$n" "$dir/$file" > "$dir/$file.cut" && mv "$dir/$file.cut" "$dir/$file" ;;
    line)
      rest="${rest#*:}"
      n="${rest%%:*}"
      text="${rest#*:}"
      [[ "$rest" == *:* && "$n" =~ ^[0-9]+$ ]] || { echo "recorded_runs: case $name: \"$change\" needs line:FILE:N:TEXT" >&2; return 1; }
      awk -v n="$n" -v text="$text" 'NR == n { print text (sub(/\r$/, "") ? "\r" : ""); next } { print }' \
        "$dir/$file" > "$dir/$file.line" && mv "$dir/$file.line" "$dir/$file" ;;
    *)
      echo "recorded_runs: case $name: unknown change \"$verb\" (rm, cut, line)" >&2
      return 1 ;;
  esac
}

# Runs one case; its outcome goes to $2: status, stdout, stderr, the report file under its own
# name, and files.sha256 for every other file left in the run directory.
run_case() {
  local name="$1" out="$2" dir="$2/run" item status file
  local -a ins changes arguments
  mkdir -p "$dir" "$out/outcome"
  read -r -a ins <<< "${standard[*]} ${case_inputs[$name]}"
  copy_inputs "$name" "$dir" "${ins[@]}" || return 2
  read -r -a changes <<< "${case_changes[$name]}"
  for item in "${changes[@]}"; do
    [ "$item" = "-" ] && continue
    apply_change "$name" "$item" "$dir" || return 2
  done
  read -r -a arguments <<< "${case_arguments[$name]}"
  (cd "$dir" && VESPERLUMINAL_CLOCK="$clock" exec timeout "$time_limit" "$program" "${arguments[@]}") \
    < /dev/null > "$out/outcome/stdout" 2> "$out/outcome/stderr"
  status=$?
  echo "$status" > "$out/outcome/status"
  local -a hashed=() others=()
  for file in "$dir"/* "$dir"/.[!.]* "$dir"/..?*; do
    [ -e "$file" ] || [ -L "$file" ] || continue
    case "${file##*/}" in
      report_nocturne_*) cp "$file" "$out/outcome/" ;;
      *)
        if [ -f "$file" ] && [ ! -L "$file" ]; then
          hashed+=("${file##*/}")
        else
          others+=("(not a regular file)  ${file##*/}")
        fi ;;
    esac
  done
  # The names come sorted from the glob (LC_ALL=C).
  : > "$out/outcome/files.sha256"
  if [ ${#hashed[@]} -gt 0 ]; then
    (cd "$dir" && exec sha256sum -- "${hashed[@]}") >> "$out/outcome/files.sha256"
  fi
  [ ${#others[@]} -eq 0 ] || printf '%s\n' "${others[@]}" >> "$out/outcome/files.sha256"
  return 0
}

show_diff() {
  local label="$1" want="$2" got="$3"
  if [ "$max_diff" = 0 ]; then
    diff -u -a --label "expected/$label" --label "run/$label" "$want" "$got"
  else
    diff -u -a --label "expected/$label" --label "run/$label" "$want" "$got" | awk -v m="$max_diff" \
      'NR <= m { print } NR == m + 1 { print "... (diff cut at " m " lines; --max-diff 0 shows all)" }'
  fi
}

# Compares an outcome with the expectations of a case; prints what differs.
compare_case() {
  local name="$1" got="$2" want="$expected/$1" line base differs=0
  local -a differing=()
  if [ ! -d "$want" ]; then
    echo "recorded_runs: case $name has no expectations in $want (record them with --record)" >&2
    return 2
  fi
  # Both directories hold status, stdout, stderr, the report (when one was written) and files.sha256.
  while IFS= read -r line; do
    differs=1
    case "$line" in
      "Only in $want: "*) echo "case $name: ${line#"Only in $want: "} is missing" ;;
      "Only in $got: "*) echo "case $name: ${line#"Only in $got: "} was not expected" ;;
      "Files $want/"*" and $got/"*" differ") base="${line#"Files $want/"}"; differing+=("${base%% and *}") ;;
      *) echo "case $name: $line" ;;
    esac
  done < <(diff -q "$want" "$got")
  [ "$differs" = 1 ] || return 0
  for base in "${differing[@]}"; do
    if [ "$base" = files.sha256 ]; then
      awk -v name="$name" '
        { i = index($0, "  "); hash = substr($0, 1, i - 1); file = substr($0, i + 2) }
        FNR == NR { want[file] = hash; next }
        { seen[file] = 1
          if (!(file in want)) print "case " name ": file " file " was not expected"
          else if (want[file] != hash) print "case " name ": file " file " differs (sha256)" }
        END { for (f in want) if (!(f in seen)) print "case " name ": file " f " is missing" }' \
        "$want/files.sha256" "$got/files.sha256" | sort
    else
      show_diff "$name/$base" "$want/$base" "$got/$base"
    fi
  done
  return 1
}

# One case: run, then record or compare. Prints its lines; returns 0 (agrees or recorded),
# 1 (differs) or 2 (a wrong case or missing expectations).
process_case() {
  local name="$1" work="$scratch/$1" status
  [ -n "$keep" ] && { work="$keep/$name"; rm -rf "$work"; }
  run_case "$name" "$work" || return 2
  if [ "$record" = 1 ]; then
    rm -rf "${expected:?}/$name"
    mkdir -p "$expected/$name"
    cp "$work/outcome/"* "$expected/$name/"
    read -r status < "$work/outcome/status"
    echo "recorded $name (status $status)"
    status=0
  else
    compare_case "$name" "$work/outcome"
    status=$?
    case $status in
      0) echo "ok       $name" ;;
      1) echo "DIFFERS  $name" ;;
    esac
  fi
  [ -z "$keep" ] && rm -rf "$work"
  return "$status"
}

# Up to $jobs cases at once; their lines are printed in the order of the list.
mkdir -p "$scratch/logs"
running=0
for name in "${selected[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
  { process_case "$name" > "$scratch/logs/$name" 2>&1; echo $? > "$scratch/logs/$name.status"; } &
  running=$((running + 1))
done
wait

failed=()
worst=0
for name in "${selected[@]}"; do
  cat "$scratch/logs/$name"
  read -r status < "$scratch/logs/$name.status"
  [ "$status" = 1 ] && failed+=("$name")
  [ "$status" -gt "$worst" ] && worst="$status"
done
[ "$worst" -ge 2 ] && exit 2

if [ "$record" = 0 ]; then
  if [ ${#failed[@]} -gt 0 ]; then
    echo "${#failed[@]} of ${#selected[@]} recorded cases differ: ${failed[*]}"
    exit 1
  fi
  echo "all ${#selected[@]} recorded cases agree"
fi
exit 0
