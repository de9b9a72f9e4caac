#!/usr/bin/env bash
# Each parse error of sorrelc: its message on standard error and exit code 1.
. "$(dirname "$0")/lib.sh"

# check_error EXPECTED-MESSAGE ARGS...
check_error() {
  local want=$1
  shift
  local err rc
  err=$("$BIN/sorrelc" "$@" 2>&1 >/dev/null)
  rc=$?
  expect_eq "exit code of sorrelc $*" 1 "$rc"
  expect_eq "message of sorrelc $*" "$want" "$err"
}

check_error "sorrelc: Invalid option - /X" /X a.txt
check_error "sorrelc: Invalid option - /K:" /K: a.txt
check_error "sorrelc: Invalid option - /RB:" /RB: /RA:x a.txt
check_error "sorrelc: Invalid Character Code - /F:xyz" /F:xyz /Z a.txt
check_error "sorrelc: Invalid Character Code - /O:0" /O:0 a.txt
check_error "sorrelc: Newline Code are CR, LF or CRLF. - /C:LFCR" /C:LFCR a.txt
check_error "sorrelc: Invalid TAB count(1-99). - /T:0" /T:0 a.txt
check_error "sorrelc: Invalid TAB count(1-99). - /T:100" /T:100 a.txt
check_error "sorrelc: Please specify some options for converting." /K /Y /F:utf8 /E a.txt
check_error "sorrelc: Please specify some options for converting." /RB:abc a.txt
check_error "sorrelc: Please specify some target file names." /Z

export SORREL_LANG=JA
check_error "sorrelc: 不正なオプションです - -X" -X a.txt
check_error "sorrelc: 変換オプションが指定されていません。" /K a.txt
check_error "sorrelc: 変換対象のファイルを指定してください。" /W
check_error "sorrelc: タブのスペース変換数には1～99を指定して下さい - /t:0" /t:0 a.txt

finish
