#!/usr/bin/env bash
# Times sorrelc against the programs a user would pick instead, on generated
# files, side by side in one run: hyperfine with a fresh copy of the data
# before every run, then one more run of each command under /usr/bin/time -v
# for its peak memory and its output; and counts the instructions of one run
# of sorrelc (sorrel included) and of each peer under callgrind, on a small
# file and on files of 4 MiB. Prints the table and writes it, with the date
# and the machine, into bench/README.md.
#
#   bash bench/run.sh          # every scenario, into the README
#   bash bench/run.sh small    # only the one small file, printed
#
# RUNS (default 5, at least 5) sets the timed runs per command, SORREL_BUILD
# the build folder (default build-bench, built here in Release; SORREL_BIN, a
# folder that holds sorrelc and sorrel already, skips the build), BENCH_TMP the
# folder for the data (default /var/tmp; it needs about 1 GB on a real disk).
# Needs: hyperfine dos2unix nkf icu-devtools time g++ cmake valgrind (Debian
# packages).
set -euo pipefail
export LC_ALL=C

only_small=no
[ "${1:-}" = small ] && only_small=yes

bench=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$bench")
build=${SORREL_BUILD:-$root/build-bench}
runs=${RUNS:-5}
[ "$runs" -ge 5 ] || runs=5

tools=(hyperfine dos2unix sed valgrind)
[ "$only_small" = yes ] || tools+=(iconv uconv nkf expand g++)
[ -n "${SORREL_BIN:-}" ] || tools+=(cmake)
for tool in "${tools[@]}"; do
  command -v "$tool" > /dev/null || {
    echo "bench: $tool is missing (apt-get install hyperfine dos2unix nkf icu-devtools time g++ cmake valgrind)" >&2
    exit 1
  }
done
[ -x /usr/bin/time ] || {
  echo "bench: /usr/bin/time is missing (apt-get install time)" >&2
  exit 1
}

work=$(mktemp -d "${BENCH_TMP:-/var/tmp}/sorrel-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
data=$work/data
run=$work/run
mkdir -p "$data" "$work/out" "$work/config" "$work/trash"

if [ -n "${SORREL_BIN:-}" ]; then
  sorrelc=$SORREL_BIN/sorrelc
else
  echo "== building sorrel in $build"
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release > "$work/cmake.log"
  cmake --build "$build" -j2 --target sorrel sorrelc > "$work/build.log"
  sorrelc=$build/bin/sorrelc
fi
[ "$only_small" = yes ] || g++ -std=c++20 -O2 -Wall -Wextra -o "$work/gen" "$bench/gen.cpp"

echo "== generating the data"
mib=1048576
printf 'one line of text\r\n' > "$data/small.txt"
if [ "$only_small" = no ]; then
  "$work/gen" file utf8 $((64 * mib)) 1 "$data/u64.txt"
  "$work/gen" file sjis 50000000 2 "$data/s50.txt"
  "$work/gen" tree 20000 200 4096 3 "$data/tree20k"
  "$work/gen" tree 2000 20 4096 4 "$data/tree2k"
  for k in 1 10 100; do "$work/gen" file utf8 $((k * mib)) 5 "$data/u$k.txt"; done
  "$work/gen" file utf8 $((4 * mib)) 6 "$data/u4.txt"
  "$work/gen" file sjis $((4 * mib)) 7 "$data/s4.txt"
  sed 's/\r$//' "$data/u4.txt" > "$data/u4lf.txt"
fi

# A sorrelc command line with a settings folder of its own.
sc() {
  echo "env XDG_CONFIG_HOME=$(mktemp -d "$work/config/XXXXXX") SORREL_LANG=en $sorrelc $*"
}

# The fresh copies: the run folder is made anew and flushed to disk, so that
# no run pays for the writes of the one before. The old one is only moved
# aside, since removing 20,000 files can take a minute; the trash goes after
# each scenario, untimed.
aside="[ ! -e $run ] || mv $run \$(mktemp -d $work/trash/XXXXXX)"
copy_file() { echo "$aside && mkdir $run && cp $data/$1 $run/f.txt && sync"; }
copy_tree() { echo "$aside && mkdir $run && cp -r $data/$1 $run/t && sync"; }

# The commands of one scenario: label; for a peer, the index of the sorrelc
# command it is measured against and whether their outputs must be equal
# (y or n), empty for a sorrelc command; the prepare command; the command.
labels=() refs=() checks=() prepares=() commands=()
add() {
  labels+=("$1")
  refs+=("$2")
  checks+=("$3")
  prepares+=("$4")
  commands+=("$5")
}

declare -A median mean stddev peak largest same ref
declare -A scenario_title scenario_size
scenario_ids=()

# Runs the commands added since the last scenario as scenario id, each
# scenario_runs times (runs unless set); without a shell around each command
# when scenario_no_shell is set, for commands that take milliseconds.
run_scenario() {
  local id=$1 title=$2 args=() i
  scenario_ids+=("$id")
  scenario_title[$id]=$title
  echo
  echo "== $id. $title"
  for i in "${!commands[@]}"; do
    if [ -n "${scenario_no_shell:-}" ]; then
      args+=(--prepare "sh -c '${prepares[$i]}'" -n "${labels[$i]}" "${commands[$i]}")
    else
      args+=(--prepare "${prepares[$i]}" -n "${labels[$i]}" "${commands[$i]}")
    fi
  done
  hyperfine --runs "${scenario_runs:-$runs}" --warmup 1 --style basic ${scenario_no_shell:+-N} \
    --export-csv "$work/$id.csv" "${args[@]}"
  # The name may be quoted and hold commas: the numbers are the last seven
  # fields (mean, stddev, median, user, system, min, max).
  i=0
  while read -r m sd med; do
    mean[$id,$i]=$m
    stddev[$id,$i]=$sd
    median[$id,$i]=$med
    i=$((i + 1))
  done < <(awk -F, 'NR > 1 { print $(NF - 6), $(NF - 5), $(NF - 4) }' "$work/$id.csv")
  for i in "${!commands[@]}"; do
    sh -c "${prepares[$i]}"
    before=$(largest_file "$run")
    /usr/bin/time -v -o "$work/time.txt" sh -c "${commands[$i]}" > /dev/null 2>&1
    after=$(largest_file "$run")
    largest[$id,$i]=$((before > after ? before : after))
    peak[$id,$i]=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.txt")
    rm -rf "$work/out/$id.$i"
    mv "$run" "$work/out/$id.$i"
    ref[$id,$i]=${refs[$i]}
    same[$id,$i]=""
    if [ "${checks[$i]}" = y ]; then
      same[$id,$i]=no
      diff -r -q "$work/out/$id.${refs[$i]}" "$work/out/$id.$i" > /dev/null 2>&1 && same[$id,$i]=yes
    elif [ -n "${refs[$i]}" ]; then
      same[$id,$i]="(differs by design)"
    fi
  done
  rm -rf "$work/trash" "$work"/out/* && mkdir "$work/trash"
  scenario_size[$id]=${#commands[@]}
  eval "labels_$id=(\"\${labels[@]}\")"
  labels=() refs=() checks=() prepares=() commands=()
}

largest_file() { find "$1" -type f -printf '%s\n' | sort -n | tail -n 1; }

div() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "== timing ($runs runs of each command after one warm-up; 20 at least for one small file)"

# One small file: the fixed cost of a run, where two programs start and the
# settings are stored once, against one program that only rewrites.
p=$(copy_file small.txt)
add sorrelc "" n "$p" "$(sc /F:utf8 /C:LF $run/f.txt)"
add dos2unix 0 y "$p" "dos2unix -q $run/f.txt"
add "sed -i" 0 y "$p" "sed -i 's/\r\$//' $run/f.txt"
scenario_runs=$((runs > 20 ? runs : 20))
scenario_no_shell=yes
run_scenario 0 "CR+LF to LF, one file of one line"
scenario_runs=""
scenario_no_shell=""

# The instructions of one run of a command in the run folder, made afresh
# from a data file, every process it starts included (sorrelc's sorrel too),
# under callgrind: count LABEL FILE COMMAND... The counts do not depend on
# the load of the machine.
declare -A instructions programs
count_labels=()
count() {
  local label=$1 file=$2 out program n total=0 parts=""
  shift 2
  sh -c "$(copy_file "$file")"
  rm -f "$work"/callgrind.*
  (cd "$run" && env XDG_CONFIG_HOME="$(mktemp -d "$work/config/XXXXXX")" SORREL_LANG=en \
    valgrind --tool=callgrind --trace-children=yes --callgrind-out-file="$work/callgrind.%p" \
    "$@" > /dev/null 2>&1)
  for out in "$work"/callgrind.*; do
    program=$(awk '/^cmd:/ { print $2; exit }' "$out")
    n=$(awk '/^(summary|totals):/ { print $2; exit }' "$out")
    total=$((total + n))
    parts+="${parts:+ + }${program##*/} $n"
  done
  rm -f "$work"/callgrind.*
  instructions[$label]=$total
  programs[$label]=$parts
  count_labels+=("$label")
}
count "0. sorrelc" small.txt "$sorrelc" /F:utf8 /C:LF f.txt
instructions_total=${instructions[0. sorrelc]}

if [ "$only_small" = no ]; then
p=$(copy_file u64.txt)
add sorrelc "" n "$p" "$(sc /F:utf8 /C:LF $run/f.txt)"
add dos2unix 0 y "$p" "dos2unix -q $run/f.txt"
add "sed -i" 0 y "$p" "sed -i 's/\r\$//' $run/f.txt"
add "cp (the copy limit)" 0 n "$p" "cp $run/f.txt $run/copy.txt"
add "dd conv=fsync, mv (the durable copy)" 0 n "$p" \
  "dd if=$run/f.txt of=$run/f.new bs=1M conv=fsync status=none && mv $run/f.new $run/f.txt"
run_scenario 1 "CR+LF to LF, one file of 64 MiB (UTF-8)"

p=$(copy_file s50.txt)
add sorrelc "" n "$p" "$(sc /F:sjis /O:utf8 $run/f.txt)"
add iconv 0 y "$p" "iconv -f CP932 -t UTF-8 $run/f.txt > $run/f.new && mv $run/f.new $run/f.txt"
add uconv 0 y "$p" "uconv -f cp932 -t utf-8 -o $run/f.new $run/f.txt && mv $run/f.new $run/f.txt"
add "nkf -S -w" 0 y "$p" "nkf -S -w $run/f.txt > $run/f.new && mv $run/f.new $run/f.txt"
run_scenario 2 "Shift-JIS to UTF-8, one file of 50 MB"

p=$(copy_tree tree20k)
add "sorrelc /Y" "" n "$p" "$(sc /F:utf8 /C:LF /Y "'$run/t/*.txt'")"
add "find -exec dos2unix" 0 y "$p" "find $run/t -name '*.txt' -exec dos2unix -q {} +"
run_scenario 3 "CR+LF to LF, 20,000 files of 4 KiB in 200 folders"

p=$(copy_file u64.txt)
regex_rb="'/RB:([0-9]+)-([0-9]+)'"
regex_ra="'/RA:\$2-\$1'"
sed_regex='s/([0-9]+)-([0-9]+)/\2-\1/g'
sed_blanks='s/[ \t]+(\r?)$/\1/'
add "sorrelc /T:8" "" n "$p" "$(sc /F:utf8 /T:8 $run/f.txt)"
add expand 0 n "$p" "expand $run/f.txt > $run/f.new && mv $run/f.new $run/f.txt"
add "sorrelc /W" "" n "$p" "$(sc /F:utf8 /W $run/f.txt)"
add "sed -i (blanks)" 2 y "$p" "sed -i -E '$sed_blanks' $run/f.txt"
add "sorrelc /E" "" n "$p" "$(sc /F:utf8 /E "$regex_rb" "$regex_ra" $run/f.txt)"
add "sed -i -E (regex)" 4 y "$p" "sed -i -E '$sed_regex' $run/f.txt"
add "sorrelc /T:8 /W /E" "" n "$p" "$(sc /F:utf8 /T:8 /W /E "$regex_rb" "$regex_ra" $run/f.txt)"
add "expand | sed" 6 n "$p" \
  "expand $run/f.txt | sed -E '$sed_blanks; $sed_regex' > $run/f.new && mv $run/f.new $run/f.txt"
run_scenario 4 "Tabs, trailing blanks and a regular expression, one file of 64 MiB"

for k in 1 10 100; do
  add "sorrelc, $k MiB" "" n "$(copy_file u$k.txt)" "$(sc /F:utf8 /C:LF $run/f.txt)"
done
run_scenario 5a "Scaling with the bytes: one file of 1, 10 and 100 MiB, CR+LF to LF"

add "sorrelc /Y, 2,000 files" "" n "$(copy_tree tree2k)" "$(sc /F:utf8 /C:LF /Y "'$run/t/*.txt'")"
add "sorrelc /Y, 20,000 files" "" n "$(copy_tree tree20k)" "$(sc /F:utf8 /C:LF /Y "'$run/t/*.txt'")"
run_scenario 5b "Scaling with the files: 2,000 files in 20 folders and 20,000 in 200, 4 KiB each"

echo
echo "== 6. instructions (callgrind) on files of 4 MiB"
count "CR+LF to LF: sorrelc" u4.txt "$sorrelc" /F:utf8 /C:LF f.txt
count "CR+LF to LF: dos2unix" u4.txt dos2unix -q f.txt
count "CR+LF to LF: sed -i" u4.txt sed -i 's/\r$//' f.txt
count "Shift-JIS to UTF-8: sorrelc" s4.txt "$sorrelc" /F:sjis /O:utf8 f.txt
count "Shift-JIS to UTF-8: iconv" s4.txt iconv -f CP932 -t UTF-8 -o f.new f.txt
count "regular expression: sorrelc /E" u4.txt "$sorrelc" /F:utf8 /E \
  '/RB:([0-9]+)-([0-9]+)' '/RA:$2-$1' f.txt
count "regular expression: sed -i -E" u4.txt sed -i -E "$sed_regex" f.txt
count "nothing to change (LF already): sorrelc" u4lf.txt "$sorrelc" /F:utf8 /C:LF f.txt
count "nothing to change (LF already): dos2unix" u4lf.txt dos2unix -q f.txt
count "nothing to change (LF already): sed -i" u4lf.txt sed -i 's/\r$//' f.txt
fi

# The table.
results=$work/results.md
{
  echo "Measured on $(date -u '+%Y-%m-%d %H:%M UTC') with $runs runs per command (median of those runs)."
  echo
  echo "Machine: $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo), $(nproc) cores," \
    "$(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo) memory," \
    "$(uname -sr), data on $(df -T "$work" | awk 'NR == 2 { print $2 }');" \
    "sorrel $(git -C "$root" describe --always --dirty 2> /dev/null || echo '(no git)')," \
    "$(hyperfine --version), $(dos2unix --version | head -1), $(sed --version | head -1)," \
    "$(iconv --version | head -1), $(uconv --version 2> /dev/null)," \
    "$(nkf --version 2> /dev/null | head -1 | sed 's/ *$//')."
  for id in "${scenario_ids[@]}"; do
    eval "names=(\"\${labels_$id[@]}\")"
    echo
    echo "### $id. ${scenario_title[$id]}"
    echo
    case $id in
      5a)
        echo "| command | median s | mean ± σ s | peak memory MiB | MiB/s | step ÷ linear |"
        echo "|---|---:|---:|---:|---:|---:|"
        ;;
      5b)
        echo "| command | median s | mean ± σ s | peak memory MiB | files/s | step ÷ linear |"
        echo "|---|---:|---:|---:|---:|---:|"
        ;;
      *)
        echo "| command | median s | mean ± σ s | peak memory MiB | same output as sorrelc | sorrelc ÷ this |"
        echo "|---|---:|---:|---:|:---:|---:|"
        ;;
    esac
    for ((i = 0; i < scenario_size[$id]; i++)); do
      row="| ${names[$i]} | $(printf %.3f "${median[$id,$i]}") |"
      row+=" $(printf '%.3f ± %.3f' "${mean[$id,$i]}" "${stddev[$id,$i]}") |"
      row+=" $(awk -v k="${peak[$id,$i]}" 'BEGIN { printf "%.0f", k / 1024 }') |"
      case $id in
        5a)
          size=$((10 ** i))
          row+=" $(div $size "${median[$id,$i]}" | awk '{ printf "%.0f", $1 }') |"
          if [ "$i" -eq 0 ]; then row+=" |"; else
            row+=" $(awk -v a="${median[$id,$i]}" -v b="${median[$id,$((i - 1))]}" \
              'BEGIN { printf "%.2f", a / b / 10 }') |"
          fi
          ;;
        5b)
          files=$((2000 * 10 ** i))
          row+=" $(div $files "${median[$id,$i]}" | awk '{ printf "%.0f", $1 }') |"
          if [ "$i" -eq 0 ]; then row+=" |"; else
            row+=" $(awk -v a="${median[$id,$i]}" -v b="${median[$id,$((i - 1))]}" \
              'BEGIN { printf "%.2f", a / b / 10 }') |"
          fi
          ;;
        *)
          row+=" ${same[$id,$i]} |"
          if [ -z "${ref[$id,$i]}" ]; then row+=" |"; else
            row+=" $(div "${median[$id,${ref[$id,$i]}]}" "${median[$id,$i]}") |"
          fi
          ;;
      esac
      echo "$row"
    done
  done

  if [ "$only_small" = no ]; then
    echo
    echo "### 6. Instructions (callgrind, every process of the command), one file of 4 MiB"
    echo
    echo "| command | millions of instructions | processes | sorrelc ÷ this |"
    echo "|---|---:|---|---:|"
    for label in "${count_labels[@]}"; do
      case $label in 0.*) continue ;; esac
      row="| $label | $(awk -v n="${instructions[$label]}" 'BEGIN { printf "%.1f", n / 1e6 }') |"
      row+=" ${programs[$label]} |"
      case $label in
        *sorrelc*) mine=${instructions[$label]} row+=" |" ;;
        *) row+=" $(div "$mine" "${instructions[$label]}") |" ;;
      esac
      echo "$row"
    done
  fi

  echo
  echo "### Targets"
  echo
  echo "| target | measured | limit | met |"
  echo "|---|---:|---:|:---:|"
  target() { # text measured limit
    local met=no
    awk -v m="$2" -v l="$3" 'BEGIN { exit !(m <= l) }' && met=yes
    echo "| $1 | $2 | $3 | $met |"
  }
  target "0. one small file, sorrelc ÷ dos2unix (wall clock)" "$(div "${median[0,0]}" "${median[0,1]}")" 3
  target "0. one small file, millions of instructions of sorrelc and sorrel (callgrind)" \
    "$(awk -v n="$instructions_total" 'BEGIN { printf "%.1f", n / 1e6 }')" 12
  if [ "$only_small" = no ]; then
  target "1. sorrelc ÷ dos2unix" "$(div "${median[1,0]}" "${median[1,1]}")" 0.4
  target "1. sorrelc ÷ sed -i" "$(div "${median[1,0]}" "${median[1,2]}")" 0.6
  target "1. sorrelc ÷ the durable copy" "$(div "${median[1,0]}" "${median[1,4]}")" 1.5
  target "1. sorrelc ÷ sed -i, instructions on 4 MiB" \
    "$(div "${instructions[CR+LF to LF: sorrelc]}" "${instructions[CR+LF to LF: sed -i]}")" 0.5
  target "2. sorrelc ÷ iconv" "$(div "${median[2,0]}" "${median[2,1]}")" 0.6
  target "2. sorrelc ÷ iconv, instructions on 4 MiB" \
    "$(div "${instructions[Shift-JIS to UTF-8: sorrelc]}" \
      "${instructions[Shift-JIS to UTF-8: iconv]}")" 0.5
  target "3. sorrelc ÷ find -exec dos2unix" "$(div "${median[3,0]}" "${median[3,1]}")" 0.5
  target "4. sorrelc /E ÷ sed -i -E" "$(div "${median[4,4]}" "${median[4,5]}")" 1.5
  target "5. 10 MiB ÷ (10 × 1 MiB)" "$(awk -v a="${median[5a,1]}" -v b="${median[5a,0]}" \
    'BEGIN { printf "%.2f", a / b / 10 }')" 1.1
  target "5. 100 MiB ÷ (10 × 10 MiB)" "$(awk -v a="${median[5a,2]}" -v b="${median[5a,1]}" \
    'BEGIN { printf "%.2f", a / b / 10 }')" 1.1
  target "5. 20,000 files ÷ (10 × 2,000 files)" "$(awk -v a="${median[5b,1]}" -v b="${median[5b,0]}" \
    'BEGIN { printf "%.2f", a / b / 10 }')" 1.1
  fi
  # Peak memory of every sorrelc run against its bound: on the bytes (line
  # ends, blanks, tabs), 3 × the file + 32 MiB; otherwise (a new page, an
  # expression) 5 × the larger of the file before and after + 32 MiB.
  for path in bytes other; do
    worst=0 worst_limit=1 worst_name=""
    for id in "${scenario_ids[@]}"; do
      eval "names=(\"\${labels_$id[@]}\")"
      for ((i = 0; i < scenario_size[$id]; i++)); do
        case ${names[$i]} in sorrelc*) ;; *) continue ;; esac
        kind=bytes factor=3
        case "$id ${names[$i]}" in 2\ * | *" /E"*) kind=other factor=5 ;; esac
        [ "$kind" = "$path" ] || continue
        limit=$(awk -v b="${largest[$id,$i]}" -v f=$factor 'BEGIN { printf "%.0f", f * b / 1048576 + 32 }')
        used=$(awk -v k="${peak[$id,$i]}" 'BEGIN { printf "%.0f", k / 1024 }')
        if awk -v u="$used" -v l="$limit" -v w="$worst" -v wl="$worst_limit" \
          'BEGIN { exit !(u / l > w / wl) }'; then
          worst=$used worst_limit=$limit worst_name="$id. ${names[$i]}"
        fi
      done
    done
    if [ -z "$worst_name" ]; then
      :
    elif [ "$path" = bytes ]; then
      target "peak memory on the bytes, worst sorrelc run ($worst_name), MiB" "$worst" "$worst_limit"
    else
      target "peak memory elsewhere, worst sorrelc run ($worst_name), MiB" "$worst" "$worst_limit"
    fi
  done
} > "$results"

echo
cat "$results"
echo
echo "Instructions (callgrind) of one run on the small file: ${programs[0. sorrelc]}."
[ "$only_small" = yes ] && exit 0

# Into the README, between the markers; the text around them stays.
readme=$bench/README.md
begin='<!-- results: written by bench/run.sh -->'
end='<!-- end of results -->'
if [ -f "$readme" ] && grep -qF "$begin" "$readme"; then
  awk -v begin="$begin" -v end="$end" -v file="$results" '
    $0 == begin { print; while ((getline line < file) > 0) print line; skip = 1; next }
    $0 == end { skip = 0 }
    !skip { print }' "$readme" > "$work/README.md"
else
  { [ -f "$readme" ] && cat "$readme" && echo; echo "$begin"; cat "$results"; echo "$end"; } \
    > "$work/README.md"
fi
cp "$work/README.md" "$readme"
echo
echo "bench: wrote $readme"
