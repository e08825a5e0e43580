#!/usr/bin/env bash
# Kills crash_driver at random moments while it changes a 20,000-entry log, and checks after every
# kill that the log, opened as the program opens it, is the log before the interrupted change or
# the log after it.
#
#   tools/crash_harness/crash_test.sh [kills per operation] [directory]
#
# The directory defaults to one on the disk (/var/tmp); give /dev/shm to try tmpfs. OPERATIONS
# picks operations (default: all), CRASH_DRIVER the program (default: build/tools/...).
# INTRUDER=1 has a second process open the log just before each kill, while a change is under
# way: it must be refused, and leave the change alone.
# The operation "import" kills a run of long replaces and then replaces the log whole, as an ADIF
# import of the same name does, with whatever journal the kill left beside it: the log must then
# be exactly the imported one.
# Exits 1 when any kill left a log that is neither before nor after, or lost, doubled or spliced
# a contact, when an intruder got the log open, or when an import did not give the imported log.
set -euo pipefail

kills=${1:-100}
base=${2:-/var/tmp}
here=$(cd "$(dirname "$0")" && pwd)
driver=${CRASH_DRIVER:-$here/../../build/tools/crash_harness/crash_driver}
operations=${OPERATIONS:-append insert delete replace qsl delete_many merge import}
intruder=${INTRUDER:-0}

[[ -x $driver ]] || { echo "no $driver: build with KESTREL_BUILD_TOOLS=ON" >&2; exit 2; }
work=$(mktemp -d "$base/kestrel-crash.XXXXXX")
trap 'rm -rf "$work"' EXIT
initial=$work/INITIAL.LOG
"$driver" "$initial" make 20000
imported=$work/IMPORTED.LOG
"$driver" "$imported" make 15000

# A delay from 0 to 40 ms, counted from the first change the driver journals.
random_delay() { printf '0.%06d' $(((RANDOM * 32768 + RANDOM) % 40000)); }

failed=0
printf '%-12s %6s %6s %6s %6s %6s %6s %6s %10s %8s %8s %8s %8s\n' operation kills idle before after mixed \
    partial finished lost duplicated spliced intruded wrong
for operation in $operations; do
    idle=0 before=0 after=0 mixed=0 partial=0 finished=0 lost=0 duplicated=0 spliced=0 intruded=0 wrong=0
    changes=$operation
    [[ $operation == import ]] && changes=replace
    for ((k = 1; k <= kills; ++k)); do
        log=$work/CRASH.LOG
        rm -f "$work"/CRASH* "$work"/.CRASH* "$work"/MERGED_* "$work"/.MERGED_* "$work"/*.NEW*
        cp "$initial" "$log"
        "$driver" "$log" "$changes" "$RANDOM$k" 100000 &
        pid=$!
        while [[ ! -e $log.harness ]] && kill -0 "$pid" 2>/dev/null; do :; done
        sleep "$(random_delay)"
        if [[ $intruder == 1 ]] && kill -0 "$pid" 2>/dev/null; then
            seen=$("$driver" "$log" intrude || true)
            [[ $seen == refused ]] || intruded=$((intruded + 1))
        fi
        kill -KILL "$pid" 2>/dev/null || true
        if wait "$pid" 2>/dev/null; then finished=$((finished + 1)); fi
        if [[ $operation == import ]]; then
            result=$("$driver" "$log" replace_with "$imported" || true)
            [[ $result == replaced* ]] || wrong=$((wrong + 1))
            [[ $result == *journal ]] && before=$((before + 1)) || idle=$((idle + 1))
            continue
        fi
        result=$("$driver" "$log" check "$initial" || true)
        l=lost=0 d=duplicated=0 s=spliced=0 p=partial=0
        read -r outcome l d s p _ <<<"$result"
        case $outcome in
        idle) idle=$((idle + 1)) ;;
        before) before=$((before + 1)) ;;
        after) after=$((after + 1)) ;;
        *) mixed=$((mixed + 1)) ;;
        esac
        [[ ${p#partial=} != 0 ]] && partial=$((partial + 1))
        lost=$((lost + ${l#lost=})) duplicated=$((duplicated + ${d#duplicated=})) spliced=$((spliced + ${s#spliced=}))
    done
    printf '%-12s %6d %6d %6d %6d %6d %6d %6d %6d %10d %8d %8d %8d\n' "$operation" "$kills" "$idle" "$before" \
        "$after" "$mixed" "$partial" "$finished" "$lost" "$duplicated" "$spliced" "$intruded" "$wrong"
    if ((mixed + partial + lost + duplicated + spliced + intruded + wrong > 0)); then failed=1; fi
done
exit $failed
