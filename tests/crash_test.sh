#!/usr/bin/env bash
# kill -9 at random moments of a run over many files, and inside the rewrite
# in place of a large file with two links. After each kill every file is old
# or new, or half-written with its journal beside it; the next run over the
# folders finishes every such file with a line, and leaves no working file.
#
# CRASH_RANDOM_TRIALS and CRASH_INPLACE_TRIALS set the number of trials (3 and
# 2 by default), CRASH_BIG_MB the size of the large file (48 by default) and
# CRASH_INPLACE_MS the latest moment of the kill after the journal appears;
# bench/crash_trials.sh runs many more.
. "$(dirname "$0")/lib.sh"

random_trials=${CRASH_RANDOM_TRIALS:-3}
inplace_trials=${CRASH_INPLACE_TRIALS:-2}
big_mb=${CRASH_BIG_MB:-48}
inplace_ms=${CRASH_INPLACE_MS:-4}  # the kill comes 0 to this many ms after the journal

# The pristine tree: files of many sizes, some with a second link in another
# folder, and one large file with two links.
mkdir -p pristine/tree/sub pristine/tree/links
for i in $(seq 1 240); do
  lines=$(((i * 37) % 400 + 1))
  folder=pristine/tree
  [ $((i % 3)) -eq 0 ] && folder=pristine/tree/sub
  for j in $(seq 1 "$lines"); do printf 'line %d of file %d, long enough to matter\r\n' "$j" "$i"; done \
    > "$folder/f$i.txt"
done
for i in 3 6 9 12 15 18 21 24; do ln "pristine/tree/sub/f$i.txt" "pristine/tree/links/l$i.txt"; done
yes 'a line of the large file that has two links, ending in CR+LF' |
  head -n $(((big_mb << 20) / 64)) | sed 's/$/\r/' > pristine/big.txt
ln pristine/big.txt pristine/big-link.txt

# The converted bytes of every file, by content checksum.
declare -A old new
while read -r sum path; do old[$path]=$sum; done < <(cd pristine && find . -type f -exec md5sum {} +)
for path in "${!old[@]}"; do
  new[$path]=$(tr -d '\r' < "pristine/$path" | md5sum | cut -d' ' -f1)
done

# Checks the tree after a kill and after the run that follows it.
# check LABEL FOLDER-AFTER-THE-KILL RECOVERY-OUTPUT
torn_total=0
check() {
  local label=$1 out=$3
  local path sum inode
  # The names of each half-written file, by inode: one of them has the line.
  declare -A torn=()
  while read -r inode sum path; do
    [ "$sum" == "${old[$path]}" ] || [ "$sum" == "${new[$path]}" ] ||
      torn[$inode]+="${path##*/} "
  done < "$2"
  for inode in "${!torn[@]}"; do
    local lines=0 name
    for name in ${torn[$inode]}; do
      lines=$((lines + $(grep -c "^Completed an interrupted rewrite - ${name}\.$" <<< "$out")))
    done
    expect_eq "$label: ${torn[$inode]}half-written, finished with a line" 1 "$lines"
  done
  torn_total=$((torn_total + ${#torn[@]}))
  local wrong=0
  while read -r sum path; do
    [ "$sum" == "${old[$path]}" ] || [ "$sum" == "${new[$path]}" ] || wrong=$((wrong + 1))
  done < <(cd trial && find . -type f ! -name '.*' -exec md5sum {} +)
  expect_eq "$label: every file old or new after the next run" 0 "$wrong"
  expect_eq "$label: no working file left" "" "$(cd trial && find . -name '.*.sorrel-*')"
}

# Runs sorrelc with ARGS in its own process group and kills it after DELAY
# seconds, or once WAIT-FOR exists plus DELAY.
# kill_run DELAY WAIT-FOR ARGS...
kill_run() {
  local delay=$1 wait_for=$2
  shift 2
  set -m
  (cd trial && exec "$BIN/sorrelc" "$@" > /dev/null 2>&1) &
  local pid=$!
  set +m
  if [ -n "$wait_for" ]; then
    for _ in $(seq 1 2000); do
      [ -e "trial/$wait_for" ] && break
      kill -0 "$pid" 2> /dev/null || break
      sleep 0.005
    done
  fi
  sleep "$delay"
  kill -KILL -- "-$pid" 2> /dev/null
  wait "$pid" 2> /dev/null
}

# Inode, checksum and path of every file of the trial but the working files.
snapshot() {
  (cd trial && find . -type f ! -name '.*' -printf '%i %p\n' | while read -r inode path; do
    echo "$inode $(md5sum < "$path" | cut -d' ' -f1) $path"
  done)
}

# The run after a kill: over the same folders, matching nothing, so that it
# only finishes what the killed run left.
next_run() {
  (cd trial && "$BIN/sorrelc" /C:LF /Y 'tree/*.none' 2>&1; "$BIN/sorrelc" /C:LF '*.none' 2>&1) |
    tr -d '\r'
}

for trial in $(seq 1 "$random_trials"); do
  rm -rf trial && cp -a pristine trial
  kill_run "0.$(printf '%03d' $((RANDOM % 600)))" "" /C:LF /Y 'tree/*.txt'
  snapshot > after-kill.txt
  check "random trial $trial" after-kill.txt "$(next_run)"
done

random_torn=$torn_total
torn_total=0
for trial in $(seq 1 "$inplace_trials"); do
  rm -rf trial && cp -a pristine trial
  kill_run "0.$(printf '%03d' $((RANDOM % (inplace_ms + 1))))" .big.txt.sorrel-journal /C:LF big.txt
  snapshot > after-kill.txt
  check "in-place trial $trial" after-kill.txt "$(next_run)"
done
echo "random kills: $random_torn file(s) half-written, each finished by the next run"
echo "kills in the rewrite in place: $torn_total of $inplace_trials left the file half-written," \
  "each finished by the next run"

finish
