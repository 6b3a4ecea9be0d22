#!/usr/bin/env bash
# Builds the benchmark in Release, runs it on a generated data file and compares its figures
# with plain file input/output and with grep on the same file.
#
#   bench/run.sh [trovix_bench options...]     e.g. bench/run.sh --records 200000
#
# Environment: BUILD_DIR (default <tree>/build-bench), GREP_WORD (default Smith),
# GREP_RUNS (default 5), RARE_TERMS (default "Westhaven Brontë") and COMMON_TERMS (default
# "an 5"): the search texts, as the data writes them. Searches that ignore case use them in lower
# case; grep looks for the first term of each.
set -euo pipefail
# Decimal points in every number read and printed; grep reads the records as UTF-8 text, as the
# program does.
export LC_ALL=C.UTF-8

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tree=$(dirname "$here")
build=${BUILD_DIR:-$tree/build-bench}
grep_word=${GREP_WORD:-Smith}
grep_runs=${GREP_RUNS:-5}
rare_terms=${RARE_TERMS:-Westhaven Brontë}
common_terms=${COMMON_TERMS:-an 5}
read -r rare_word _ <<<"$rare_terms"
read -r common_word _ <<<"$common_terms"
[[ -n $rare_word && -n $common_word ]] || { echo "run.sh: a search text has no term" >&2; exit 2; }

if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake -S "$tree" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build "$build" --target trovix_bench trovix7 -j"$(nproc 2>/dev/null || echo 2)" >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/trovix_bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
data_file=$work/records.txt

echo "Running trovix_bench${*:+ $*} ..." >&2
out=$("$build/bench/trovix_bench" --file "$data_file" --keep \
    --rare "$rare_terms" --common "$common_terms" "$@")

# The value of one "name value" line of the benchmark's output.
figure() {
    awk -v name="$1" '$1 == name { print $2; found = 1 } END { if (!found) exit 1 }' <<<"$out" ||
        { echo "run.sh: the benchmark printed no '$1'" >&2; exit 1; }
}

kept=$(sed -n 's/^file //p' <<<"$out")
[[ $kept == "$data_file" ]] || { echo "run.sh: the benchmark did not keep $data_file" >&2; exit 1; }

# Best wall time in seconds of a command over $grep_runs runs. Its output goes through a pipe:
# with output on /dev/null, grep would stop at the first match.
best_time() {
    local best="" start end t
    for ((run = 0; run < grep_runs; ++run)); do
        start=$EPOCHREALTIME
        "$@" | cat >/dev/null
        end=$EPOCHREALTIME
        t=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.6f", e - s }')
        if [[ -z $best ]] || awk -v t="$t" -v b="$best" 'BEGIN { exit !(t < b) }'; then
            best=$t
        fi
    done
    echo "$best"
}

matches=$(grep -c -F -- "$grep_word" "$data_file" || true)
grep_s=$(best_time grep -c -F -- "$grep_word" "$data_file")

# The searches are measured against grep looking for one of their terms, with and without -i.
grep_count() { grep -c "$@" "$data_file" || true; }
rare_lines=$(grep_count -F -- "$rare_word")
rare_lines_i=$(grep_count -i -F -- "$rare_word")
common_lines=$(grep_count -F -- "$common_word")
common_lines_i=$(grep_count -i -F -- "$common_word")
grep_rare=$(best_time grep -c -F -- "$rare_word" "$data_file")
grep_rare_i=$(best_time grep -c -i -F -- "$rare_word" "$data_file")
grep_common=$(best_time grep -c -F -- "$common_word" "$data_file")
grep_common_i=$(best_time grep -c -i -F -- "$common_word" "$data_file")

# One line of the table.
#   row NAME SECONDS [BASE_NAME BASE_SECONDS LIMIT [AIM]]
# Shows the time and its ratio to grep; with a base, also SECONDS / BASE_SECONDS checked
# against LIMIT (OK or OVER) and, when given, the ratio aimed for. A LIMIT of "-" shows the
# ratio without checking it.
overs=0
name_width=12
row() {
    local name=$1 secs=$2 base_name=${3:-} base=${4:-} limit=${5:-} aim=${6:-}
    local check="" status=""
    if [[ -n $base_name ]]; then
        local ratio
        ratio=$(awk -v a="$secs" -v b="$base" 'BEGIN { printf "%.2f", a / b }')
        if [[ $limit == - ]]; then
            check=$(printf '%-26s %6s' "$name / $base_name" "$ratio")
        else
            check=$(printf '%-26s %6s  <= %-4s' "$name / $base_name" "$ratio" "$limit")
            if awk -v r="$ratio" -v l="$limit" 'BEGIN { exit !(r <= l) }'; then
                status=OK
            else
                status=OVER
                overs=$((overs + 1))
            fi
            if [[ -n $aim ]]; then
                status="$status (aim $aim)"
            fi
        fi
    fi
    printf '%-*s %9.4f %8.2f   %s %s\n' "$name_width" "$name" "$secs" \
        "$(awk -v a="$secs" -v g="$grep_s" 'BEGIN { print a / g }')" "$check" "$status"
}

# A check that is not a time: VALUE against LIMIT.
ratio_row() {
    local label=$1 value=$2 limit=$3 status=OK
    if ! awk -v v="$value" -v l="$limit" 'BEGIN { exit !(v <= l) }'; then
        status=OVER
        overs=$((overs + 1))
    fi
    printf '%-12s %9s %8s   %-26s %6.2f  <= %-4s %s\n' "" "" "" "$label" "$value" "$limit" "$status"
}

records=$(figure records)
# A run of ten million records or more keeps to tighter targets of its own: everything the
# million-record run measures, held at that size, and sorting and copying within fixed times.
if ((records >= 10000000)); then
    load_limit=1.05 search_limit=0.25 search_memory_limit=1.4 sort_large_limit=3
    merge_limit=3 merge_sorted_limit=10  # the million-record times, ten times over
else
    load_limit=1.5 search_limit=0.5 search_memory_limit=2 sort_large_limit=2
    merge_limit=0.3 merge_sorted_limit=1
fi
file_bytes=$(figure file_bytes)
file_lines=$(figure file_lines)
file_mb=$(figure file_mb)
read_floor=$(figure read_floor)
write_floor=$(figure write_floor)
write_sync=$(figure write_sync_floor)
load=$(figure load)
list=$(figure list)
expand=$(figure expand)
contract=$(figure contract)
save=$(figure save)
load_read=$(figure load_read)
load_utf8_check=$(figure load_utf8_check)
load_parse=$(figure load_parse)
save_unsynced=$(figure save_unsynced)
peak_mb=$(figure peak_rss_mb)

echo
echo "records $records, file $file_bytes bytes ($file_mb MiB), $file_lines lines"
echo "grep -c -F $grep_word: $matches matching lines, best of $grep_runs;" \
    "trovix_bench: best of 3 (fresh list and model each run)"
echo
printf '%-12s %9s %8s   %-26s %6s  %-7s %s\n' figure seconds "x grep" check ratio target status
row grep "$grep_s"
row read_floor "$read_floor"
row write_floor "$write_floor"
row write_sync "$write_sync"
row load "$load" read_floor "$read_floor" "$load_limit"
row save "$save" write_floor "$write_floor" 3
row list "$list" grep "$grep_s" 2
row expand "$expand" grep "$grep_s" 4
row contract "$contract" grep "$grep_s" 4
ratio_row "peak $peak_mb MiB / file" "$(awk -v p="$peak_mb" -v f="$file_mb" 'BEGIN { print p / f }')" 4

# Where load and save spend their time; not checked.
echo
echo "breakdown (saving syncs the file to disk, the write floor does not):"
row load_read "$load_read"
row load_utf8 "$load_utf8_check"
row load_parse "$load_parse"
row save_nosync "$save_unsynced" write_floor "$write_floor" -
row save "$save" write_sync "$write_sync" -
echo "peak memory after floors / load / listing: $(figure peak_rss_floors_mb) /" \
    "$(figure peak_rss_load_mb) / $peak_mb MiB"

# Searches: the whole search, list rebuilds, model resets and the selection of the first match
# included; the file above in the first slot, a few records in each of the other two. They run
# in a process of their own that loads the files first, as the program does; search_first is
# the first search that ignores case on the freshly loaded file (it prepares the case folding).
echo
echo "search \"$rare_terms\" (rare) and \"$common_terms\" (common), best of 3; _ci ignores case"
echo "grep_rare, grep_i_rare: grep -c [-i] -F $rare_word, $rare_lines lines ($rare_lines_i with -i);"
echo "grep_common, grep_i_common: grep -c [-i] -F $common_word, $common_lines lines" \
    "($common_lines_i with -i); best of $grep_runs"
echo "records found in the file: rare $(figure search_rare_ci_rows) ci /" \
    "$(figure search_rare_cs_rows) cs, common $(figure search_common_ci_rows) ci /" \
    "$(figure search_common_cs_rows) cs"
echo
name_width=17
printf '%-17s %9s %8s   %-26s %6s  %-7s %s\n' figure seconds "x grep" check ratio target status
row grep_rare "$grep_rare"
row grep_i_rare "$grep_rare_i"
row grep_common "$grep_common"
row grep_i_common "$grep_common_i"
row search_first "$(figure search_first_fold)" "grep -i" "$grep_rare_i" 1 0.5
row search_rare_ci "$(figure search_rare_ci)" "grep -i" "$grep_rare_i" "$search_limit" 0.25
row search_rare_cs "$(figure search_rare_cs)" grep "$grep_rare" "$search_limit" 0.25
row search_common_ci "$(figure search_common_ci)" "grep -i" "$grep_common_i" "$search_limit" 0.25
row search_common_cs "$(figure search_common_cs)" grep "$grep_common" "$search_limit" 0.25
name_width=12
# Keystrokes: the fastest of three runs of 1000 keys, as a per-key average, and the slowest
# single key of the three runs (the records' replaced texts are cleared away now and then).
micro() { awk -v s="$1" 'BEGIN { printf "%.2f", s * 1e6 }'; }
echo
echo "edit_keystroke: $(micro "$(figure edit_keystroke)") µs a key written back, slowest key" \
    "$(micro "$(figure edit_keystroke_max)") µs;"
echo "  with a file of 10000 records $(micro "$(figure edit_keystroke_10k)") µs, slowest key" \
    "$(micro "$(figure edit_keystroke_10k_max)") µs"
echo "reload_changed: $(figure reload_changed) s to read the file again after another program" \
    "changed it, with the common search shown (read, search again, list), best of 3"
search_mb=$(figure peak_rss_search_mb)
echo "peak memory of a process that loads the three files, searches and edits: $search_mb MiB"
name_width=17
ratio_row "peak $search_mb MiB / file" "$(awk -v p="$search_mb" -v f="$file_mb" 'BEGIN { print p / f }')" "$search_memory_limit"
name_width=12

# Sorting and copying, in a process of their own: a tenth of the records (100,000 in the full
# run) with one in a hundred a case variant of another, next to sort -f of the same records one a
# line; then all of them; then copying a list of as many rows to the clipboard, and undoing a sort
# and a compaction of as many records.
sort_lines=$(sed -n 's/^sort_lines //p' <<<"$out")
sort_f=$(best_time sort -f "$sort_lines")
sort_small=$(figure sort_small)
sort_large=$(figure sort_large)
copy_list=$(figure copy_list)
echo
echo "sort: $(figure sort_small_records) records, 1 in 100 a case variant of another, best of 3;" \
    "sort -f of the same lines best of $grep_runs; then $records records; copy: $records rows"
name_width=17
printf '%-17s %9s %8s   %-26s %6s  %-7s %s\n' figure seconds "x grep" check ratio target status
row sort_f "$sort_f"
row sort_small "$sort_small" "sort -f" "$sort_f" 1
ratio_row "sort_large seconds" "$sort_large" "$sort_large_limit"
ratio_row "copy_list seconds" "$copy_list" 1
# Undoing a sort and a compaction of all the records (one in twenty blank): the command whole,
# the list listed again included.
ratio_row "undo_sort seconds" "$(figure undo_sort)" 0.5
ratio_row "undo_compact seconds" "$(figure undo_compact)" 0.5
# Keeping the unsaved records for the next start: the window's part of a recovery write of all
# the records, and the slowest of the keys typed while the write ran on its own thread (and
# with none running), each against a keystroke's 5 ms.
echo "recovery write of $records records: $(figure recovery_write) s on its own thread," \
    "$(figure recovery_keys) keys typed meanwhile"
recovery_ms() { awk -v s="$(figure "$1")" 'BEGIN { print s * 1000 }'; }
if ((records <= 1000000)); then
    ratio_row "window's part, ms" "$(recovery_ms recovery_snapshot)" 5
    ratio_row "slowest key, ms" "$(recovery_ms recovery_slowest_key)" 5
else
    # The 5 ms are for a file of about 90 MB; beyond it the copy of the record table grows
    # with the records, and is shown without a target.
    printf '%-12s %9s %8s   %-26s %6.2f\n' "" "" "" "window's part, ms" "$(recovery_ms recovery_snapshot)"
    printf '%-12s %9s %8s   %-26s %6.2f\n' "" "" "" "slowest key, ms" "$(recovery_ms recovery_slowest_key)"
fi
printf '%-12s %9s %8s   %-26s %6.2f\n' "" "" "" "slowest key alone, ms" "$(recovery_ms recovery_slowest_quiet_key)"
name_width=12

# Merging, in a process of its own: mine and theirs each edit 300 records, insert 100 and
# delete 100 across the file (30 records edited by both), merged with the base; then the same
# mine with theirs a sort of the base.
echo
echo "merge: two sets of 500 changes to $records records, then theirs a sort of them; best of 3"
name_width=17
ratio_row "merge seconds" "$(figure merge)" "$merge_limit"
ratio_row "merge_sorted seconds" "$(figure merge_sorted)" "$merge_sorted_limit"
name_width=12

# Tiny records: a file of nothing but line breaks (400 bytes of it per record above), each an
# empty record, loaded into the first slot in a process of its own.
echo
echo "a file of $(figure line_breaks_records) line breaks (empty records), loaded as the window loads it:"
name_width=17
ratio_row "bytes a record" "$(figure line_breaks_bytes_per_record)" 8
# Settings files of about 11 MB of seven shapes that once made reading slow: the slowest start
# (opening the store and reading every setting) and close (writing them back).
echo
echo "settings: files of 11 MB, the slowest of seven shapes ($(sed -n 's/^settings_worst //p' <<<"$out"))"
name_width=17
ratio_row "settings_open seconds" "$(figure settings_open)" 1
ratio_row "settings_close seconds" "$(figure settings_close)" 1
name_width=12

# Highlighting the matches, in a process of its own: the first list painted on the offscreen
# platform with the common search shown (ignoring case), highlighted and plain, runs alternating.
# A search with the screenful it shows, and screenfuls scrolled to across the whole list.
echo
echo "highlight: \"$common_terms\" ignoring case, $(figure highlight_rows) rows listed," \
    "$(figure highlight_rows_per_screen) rows a screenful ($(figure highlight_marked_per_screen)" \
    "of them with a match to mark), best of 7"
hl_search_plain=$(figure highlight_search_plain)
hl_search_marked=$(figure highlight_search_marked)
hl_screen_plain=$(figure highlight_screen_plain)
hl_screen_marked=$(figure highlight_screen_marked)
name_width=17
printf '%-17s %9s %8s   %-26s %6s  %-7s %s\n' figure seconds "x grep" check ratio target status
row search_plain "$hl_search_plain"
row search_marked "$hl_search_marked" search_plain "$hl_search_plain" 1.1
row screen_plain "$hl_screen_plain"
row screen_marked "$hl_screen_marked" screen_plain "$hl_screen_plain" 1.5
ratio_row "screen_marked ms" "$(awk -v s="$hl_screen_marked" 'BEGIN { print s * 1000 }')" 8
echo "finding the matches in a row's text: $(micro "$(figure highlight_ranges_row)") µs a row"
# trovix7 --find, the whole process from start to exit: a one-word search of the generated file,
# ignoring case, counted per file next to grep -c -i -F and rg -c -i -F counting lines with the
# word; minding case (--case) next to rg -c -F; then every record found printed, every line of
# it, next to grep -i -F printing the lines with the word.
find_word=${FIND_WORD:-$grep_word}
find_program=$build/src/trovix7
find_records=$("$find_program" --find "$find_word" --count "$data_file" || true)
find_lines_i=$(grep_count -i -F -- "$find_word")
grep_find=$(best_time grep -c -i -F -- "$find_word" "$data_file")
find_count=$(best_time "$find_program" --find "$find_word" --count "$data_file")
find_case=$(best_time "$find_program" --find "$find_word" --case --count "$data_file")
if command -v rg >/dev/null; then  # ./dev bench installs it
    rg_find=$(best_time rg --no-config -c -i -F -- "$find_word" "$data_file")
    rg_find_case=$(best_time rg --no-config -c -F -- "$find_word" "$data_file")
fi
grep_find_print=$(best_time grep -i -F -- "$find_word" "$data_file")
find_print=$(best_time "$find_program" --find "$find_word" "$data_file")
echo
echo "trovix7 --find $find_word (the whole process): $find_records records found; grep -c -i -F" \
    "$find_word: $find_lines_i lines; best of $grep_runs, $(nproc 2>/dev/null || echo '?') cores"
name_width=17
printf '%-17s %9s %8s   %-26s %6s  %-7s %s\n' figure seconds "x grep" check ratio target status
row grep_c_i "$grep_find"
row find_count "$find_count" "grep -c -i" "$grep_find" 1
if [[ -n ${rg_find:-} ]]; then
    row rg_c_i "$rg_find"
    row find_count "$find_count" "rg -c -i" "$rg_find" 1
    row rg_c "$rg_find_case"
    row find_case "$find_case" "rg -c" "$rg_find_case" 1
else
    echo "rg is not installed: --find is not compared with it"
fi
row grep_i_print "$grep_find_print"
row find_print "$find_print" "grep -i" "$grep_find_print" -
# Typing a search key by key with Search While Typing ticked, in a process of its own: each key
# from the text's change to the rows in the lists and the status bar written, 9 runs; the first
# key of a run searches every record, later keys what the text before them found; _cpu_p95 is
# the processor time of the later keys, all threads together (no target). Then one scan
# of every record for the first key on 1, 2 and all threads, and listing the rows it found.
ms() { awk -v s="$1" 'BEGIN { printf "%.2f", s * 1000 }'; }
echo
echo "typing: $(figure typing_ci_keys) keys after the first, ignoring case and not;" \
    "first key lists $(figure typing_ci_first_rows) rows ignoring case; $(figure cores) cores"
name_width=17
if ((records >= 10000000)); then
    key_p50=- key_p95=50 key_first=-
else
    key_p50=8 key_p95=16 key_first=50
fi
for rule in ci cs; do
    if [[ $key_p50 != - ]]; then
        ratio_row "typing_${rule}_p50 ms" "$(ms "$(figure typing_${rule}_p50)")" "$key_p50"
    else
        printf '%-12s %9s %8s   %-26s %6.2f\n' "" "" "" "typing_${rule}_p50 ms" \
            "$(ms "$(figure typing_${rule}_p50)")"
    fi
    ratio_row "typing_${rule}_p95 ms" "$(ms "$(figure typing_${rule}_p95)")" "$key_p95"
    if [[ $key_first != - ]]; then
        ratio_row "typing_${rule}_first ms" "$(ms "$(figure typing_${rule}_first)")" "$key_first"
    fi
    printf '%-12s %9s %8s   %-26s %6.2f\n' "" "" "" "typing_${rule}_erase_p95 ms" \
        "$(ms "$(figure typing_${rule}_erase_p95)")"
    printf '%-12s %9s %8s   %-26s %6.2f\n' "" "" "" "typing_${rule}_cpu_p95 ms" \
        "$(ms "$(figure typing_${rule}_cpu_p95)")"
done
echo
echo "one scan of every record for the first key, best of 3; listing its $(figure list_found_rows) rows"
printf '%-17s %9s %8s   %-26s %6s  %-7s %s\n' figure seconds "x grep" check ratio target status
scan_1=$(figure scan_threads_1)
for threads in 1 2 all; do
    if [[ $threads == 1 ]]; then
        row scan_threads_1 "$scan_1"
    else
        row "scan_threads_$threads" "$(figure "scan_threads_$threads")" scan_threads_1 "$scan_1" -
    fi
done
row list_found "$(figure list_found)" scan_threads_all "$(figure scan_threads_all)" 1
name_width=12
# The program itself, timed from outside on a virtual X screen: its window shown with three tiny
# data files and with the file above in the first list (best of 3 each), the difference against
# the read floor; and closing a window whose file was sorted, answering No to saving.
echo
window_out=$("$here/window_times.sh" "$build/src/trovix7" "$data_file" 3)
if grep -q '^window_skipped' <<<"$window_out"; then
    echo "window: $(sed -n 's/^window_skipped //p' <<<"$window_out"), not timed"
else
    window_figure() { awk -v name="$1" '$1 == name { print $2 }' <<<"$window_out"; }
    window_tiny=$(window_figure window_tiny)
    window_large=$(window_figure window_large)
    echo "window shown (start of the process to the window on the screen): tiny files" \
        "$window_tiny s, with the file $window_large s; closing after a sort of $records" \
        "records, the process ended $(window_figure close_end) s after the answer No:"
    name_width=17
    ratio_row "window beyond tiny / read_floor" \
        "$(awk -v l="$window_large" -v t="$window_tiny" -v r="$read_floor" \
            'BEGIN { print (l - t) / r }')" 2
    if [[ -n $(window_figure close_gone) ]]; then
        ratio_row "close_gone seconds" "$(window_figure close_gone)" 0.05
        ratio_row "close_after_settings s" "$(window_figure close_after_settings)" 0.05
    fi
    name_width=12
    out+=$'\n'$(grep '^warning' <<<"$window_out" || true)
fi

warnings=$(grep '^warning' <<<"$out" || true)
if [[ -n $warnings ]]; then
    echo
    echo "$warnings"
fi
echo
if ((overs > 0)); then
    echo "$overs figure(s) OVER target"
else
    echo "all figures within target"
fi
