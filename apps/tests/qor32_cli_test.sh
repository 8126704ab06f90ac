#!/usr/bin/env bash
# qor32 end to end: every KiCad demo board imports and analyses; errors give their exit status.
#   qor32_cli_test.sh <qor32> <example profile>
set -u
qor32=$1
profile=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check <description> <expected status> <command...>
    local what=$1 expected=$2
    shift 2
    "$@" >"$work/stdout" 2>"$work/stderr"
    local status=$?
    if [ "$status" -ne "$expected" ]; then
        echo "FAIL: $what: status $status, expected $expected"
        cat "$work/stderr"
        failures=$((failures + 1))
    fi
}

boards=0
while IFS= read -r -d '' board; do
    boards=$((boards + 1))
    name=$(basename "$board" .kicad_pcb | tr ' ' _)
    check "import $name" 0 "$qor32" import "$board" -o "$work/$name.qdb" -q
    check "thermal $name" 0 "$qor32" thermal "$work/$name.qdb" --out "$work/$name" --profile "$profile" --step 0.5 -q
    for f in thermal_board.png thermal_components.png thermal_isotherms.png components.csv report.json; do
        [ -s "$work/$name/$f" ] || { echo "FAIL: $name: $f missing"; failures=$((failures + 1)); }
    done
    "$qor32" nets "$work/$name.qdb" --voltage 3.3 --frequency 25M --most 3 >"$work/$name.enp"
    if [ -s "$work/$name.enp" ]; then
        check "field $name" 0 "$qor32" field "$work/$name.qdb" --nets "$work/$name.enp" --out "$work/$name-field" \
            --profile "$profile" --step 0.5 -q
        for f in field_board.png field_isolines.png field.json; do
            [ -s "$work/$name-field/$f" ] || { echo "FAIL: $name: $f missing"; failures=$((failures + 1)); }
        done
    else
        # A board without routed nets has no field to drive: a clear error, no outputs.
        check "field $name without nets" 1 "$qor32" field "$work/$name.qdb" --nets "$work/$name.enp" \
            --out "$work/$name-field" --profile "$profile"
    fi
done < <(find /usr/share/kicad/demos -name '*.kicad_pcb' -print0)
[ "$boards" -ge 14 ] || { echo "FAIL: only $boards demo boards found (kicad-demos installed?)"; failures=$((failures + 1)); }

board=$(find /usr/share/kicad/demos -name pic_programmer.kicad_pcb | head -1)
check "thermal with options" 0 "$qor32" thermal "$work/pic_programmer.qdb" --out "$work/opts" --profile "$profile" \
    --ambient 40 --cooling left --air-velocity 1.5 --power U1=2 --power U3=0.5 -q
grep -q '"ambient_c": 40' "$work/opts/report.json" || { echo "FAIL: ambient not in the report"; failures=$((failures + 1)); }
check "junction limit exceeded" 3 "$qor32" thermal "$work/pic_programmer.qdb" --out "$work/hot" --profile "$profile" \
    --power U1=5 --max-junction 30 -q
grep -q "U1" "$work/stderr" || { echo "FAIL: the offender is not named"; failures=$((failures + 1)); }
check "junction limit kept" 0 "$qor32" thermal "$work/pic_programmer.qdb" --out "$work/cool" --profile "$profile" \
    --max-junction 200 -q
check "unknown component" 1 "$qor32" thermal "$work/pic_programmer.qdb" --out "$work/x" --profile "$profile" --power NOPE=1
check "missing design" 1 "$qor32" thermal "$work/none.qdb" --out "$work/x" --profile "$profile"
check "bad option" 2 "$qor32" thermal "$work/pic_programmer.qdb" --out "$work/x" --cooling sideways
check "no output folder" 2 "$qor32" thermal "$work/pic_programmer.qdb"
check "unknown command" 2 "$qor32" frobnicate
check "help" 0 "$qor32" thermal --help
check "field help" 0 "$qor32" field --help
check "field without nets file" 2 "$qor32" field "$work/pic_programmer.qdb" --out "$work/x"
check "field with a missing nets file" 1 "$qor32" field "$work/pic_programmer.qdb" --nets "$work/none.enp" --out "$work/x"
printf '(kicad_pcb (version 20211014)\n(net 1 "A"' >"$work/bad.kicad_pcb"
check "bad board" 1 "$qor32" import "$work/bad.kicad_pcb" -o "$work/bad.qdb"
grep -q "line 2" "$work/stderr" || { echo "FAIL: the bad line is not named"; failures=$((failures + 1)); }
[ ! -e "$work/bad.qdb" ] || { echo "FAIL: a half-written design was left"; failures=$((failures + 1)); }

passed=$((boards * 3 + 14 - failures))
echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
