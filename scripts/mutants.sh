#!/usr/bin/env bash
# Puts deliberate small faults into the code one at a time, rebuilds, runs the tests that
# drive that code and records whether they notice. A fault nobody notices marks a hole in the
# tests; the figure "caught K of N" must not drop when tests are trimmed or rewritten.
#
#   scripts/mutants.sh [-b BUILD_DIR] [-f FAULTS_FILE] [-o NAME_REGEX] [--all-tests]
#                      [--no-baseline]
#
#   -b            build folder, configured already (default: build)
#   -f            the list of faults (default: scripts/mutants.txt, which explains its format)
#   -o            only the faults whose name matches this extended regex
#   --all-tests   run the whole suite for every fault instead of the tests of its folder
#   --no-baseline skip checking first that the chosen tests pass on the untouched code
#
# MUTANT_SECONDS (default 300) bounds the test run of one fault; a hang counts as caught.
# Each fault's build and test output is kept in BUILD_DIR/mutants/NAME.log, the summary in
# BUILD_DIR/mutants/summary.txt. Files the list names must have no uncommitted changes: each
# fault is undone with `git checkout -- FILE`.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
faults=scripts/mutants.txt
only=
allTests=0
baseline=1
while [[ $# -gt 0 ]]; do
    case "$1" in
    -b) build=$2; shift 2 ;;
    -f) faults=$2; shift 2 ;;
    -o) only=$2; shift 2 ;;
    --all-tests) allTests=1; shift ;;
    --no-baseline) baseline=0; shift ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
    esac
done
[[ -f "$build/build.ninja" ]] || { echo "no configured build in $build" >&2; exit 2; }

# A whole run of the tests of one fault may take this long; a fault that hangs a test is
# caught all the same (the test would time out in the suite).
faultSeconds=${MUTANT_SECONDS:-300}
logDir=$build/mutants
mkdir -p "$logDir"

# The tests that drive each folder's code, by the folder of the faulty file.
testsFor() {
    case "$1" in
    protocol/*) echo '^tst_(getcolor|virtualsign|cli|clisend|sendjobs)$' ;;
    config/*) echo '^tst_(classinifile|basesettings|programfolder|languagetexts|settingslogic)$' ;;
    link/*) echo '^tst_(link|sendjobs|tcpfanout|cli|clisend|virtualsign)$' ;;
    playlist/*) echo '^tst_(showfile|clishow)$' ;;
    preview/*) echo '^tst_(effecttimeline|clishow)$' ;;
    editor/page/*) echo '^tst_(pagerender|ledpicture|pagecommands)$' ;;
    editor/rtf/*) echo '^tst_rtf(reader|roundtrip)$' ;;
    schedule/*) echo '^tst_(schedule|clischedule|agent|scheduleeditor|schedulewindow)$' ;;
    sites/*) echo '^tst_(sites|siteagent|siteswindow)$' ;;
    editor/fields/*) echo '^tst_(fields|clisend)$' ;;
    *) echo '.' ;;
    esac
}

# --- the list ------------------------------------------------------------------------------
names=() files=() froms=() tos=() regexes=()
flush() {
    if [[ -n "${n:-}" ]]; then
        if [[ -z "${f:-}" || -z "${fr:-}" || -z "${t+x}" ]]; then
            echo "fault $n lacks file, from or to" >&2
            exit 2
        fi
        if [[ -z "$only" || "$n" =~ $only ]]; then
            names+=("$n") files+=("$f") froms+=("$fr") tos+=("$t") regexes+=("${r:-}")
        fi
    fi
    n= f= fr= r=
    unset t
}
n= f= fr= r=
while IFS= read -r line || [[ -n "$line" ]]; do
    case "$line" in
    '#'*) ;;
    '') flush ;;
    'name: '*) n=${line#name: } ;;
    'file: '*) f=${line#file: } ;;
    'from: '*) fr=${line#from: } ;;
    'to: '*) t=${line#to: } ;;
    'tests: '*) r=${line#tests: } ;;
    *) echo "cannot read this line of $faults: $line" >&2; exit 2 ;;
    esac
done <"$faults"
flush
total=${#names[@]}
[[ $total -gt 0 ]] || { echo "no faults chosen" >&2; exit 2; }

for f in $(printf '%s\n' "${files[@]}" | sort -u); do
    if [[ -f "$f" ]] && ! git diff --quiet HEAD -- "$f"; then
        echo "$f has uncommitted changes; commit or stash them first" >&2
        exit 2
    fi
done

# --- undoing -------------------------------------------------------------------------------
current=
restore() {
    if [[ -n "$current" ]]; then
        git checkout -- "$current"
        current=
    fi
}
trap 'restore' EXIT
trap 'restore; exit 130' INT TERM

# Replaces the one occurrence of FROM in FILE by TO; status 3 when FROM is not there exactly
# once, so that a fault whose code has moved on is reported instead of testing nothing.
applyFault() {
    python3 - "$1" "$2" "$3" <<'PY'
import sys
path, old, new = sys.argv[1:4]
try:
    text = open(path, encoding="utf-8").read()
except OSError:
    sys.exit(3)
if text.count(old) != 1:
    sys.exit(3)
open(path, "w", encoding="utf-8").write(text.replace(old, new))
PY
}

testNames() {
    ctest --test-dir "$build" -N -R "$1" | sed -n 's/^ *Test *#[0-9]*: *//p'
}

buildTests() {
    # shellcheck disable=SC2046
    nice -n 15 ninja -C "$build" $(testNames "$1") >>"$2" 2>&1
}

runTests() {
    QT_QPA_PLATFORM=offscreen nice -n 15 timeout --kill-after=10 "$faultSeconds" \
        ctest --test-dir "$build" -R "$1" --stop-on-failure --parallel 2 --output-on-failure \
        >>"$2" 2>&1
}

regexOf() {
    if [[ $allTests -eq 1 ]]; then
        echo '.'
    elif [[ -n "${regexes[$1]}" ]]; then
        echo "${regexes[$1]}"
    else
        testsFor "${files[$1]}"
    fi
}

# --- the untouched code must pass --------------------------------------------------------
if [[ $baseline -eq 1 ]]; then
    union=$(for i in "${!names[@]}"; do regexOf "$i"; done | sort -u | paste -sd'|')
    echo "checking that the chosen tests pass without faults ..."
    : >"$logDir/baseline.log"
    if ! buildTests "$union" "$logDir/baseline.log" || ! runTests "$union" "$logDir/baseline.log"; then
        echo "the tests fail without any fault; see $logDir/baseline.log" >&2
        exit 1
    fi
fi

# --- one fault at a time -------------------------------------------------------------------
caught=0 missed=() stale=() broken=()
started=$(date +%s)
for i in "${!names[@]}"; do
    name=${names[$i]} file=${files[$i]}
    log=$logDir/$name.log
    regex=$(regexOf "$i")
    {
        echo "fault: $name"
        echo "file:  $file"
        echo "from:  ${froms[$i]}"
        echo "to:    ${tos[$i]}"
        echo "tests: $regex"
    } >"$log"
    status=0
    applyFault "$file" "${froms[$i]}" "${tos[$i]}" || status=$?
    if [[ $status -ne 0 ]]; then
        result=stale
        stale+=("$name")
    else
        current=$file
        if ! buildTests "$regex" "$log"; then
            result=build-broken
            broken+=("$name")
        elif runTests "$regex" "$log"; then
            result="NOT caught"
            missed+=("$name")
        else
            result=caught
            caught=$((caught + 1))
        fi
        restore
    fi
    printf '%3d/%d %-34s %s\n' $((i + 1)) "$total" "$name" "$result" | tee -a "$log"
done

# Programs built while a fault was in keep it (the libraries link statically); rebuild
# everything so the build folder matches the code again.
if [[ $total -gt 0 ]]; then
    nice -n 15 ninja -C "$build" >"$logDir/rebuild.log" 2>&1 || true
fi

counted=$((total - ${#stale[@]} - ${#broken[@]}))
{
    echo "caught $caught of $counted ($(($(date +%s) - started)) s)"
    [[ ${#missed[@]} -eq 0 ]] || echo "not caught: ${missed[*]}"
    [[ ${#stale[@]} -eq 0 ]] || echo "stale (text not found exactly once): ${stale[*]}"
    [[ ${#broken[@]} -eq 0 ]] || echo "build broken: ${broken[*]}"
} | tee "$logDir/summary.txt"
