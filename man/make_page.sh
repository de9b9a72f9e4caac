#!/bin/sh
# Makes the manual page of one language from its source in both: keeps the
# lines of that language without their tag and the lines of both, puts in the
# version, and writes the page compressed as Debian keeps manual pages.
# groff breaks lines only at blanks, which Japanese text has few of, so a
# Japanese page gets break points (\:) before every wide character and after
# every closing mark, except where a line may not begin or end.
#   make_page.sh LANGUAGE VERSION SOURCE OUTPUT     (LANGUAGE: en or ja)
set -eu
language=$1 version=$2 source=$3 output=$4
case $language in
  en) other=ja ;;
  ja) other=en ;;
  *) echo "make_page.sh: no such language: $language" >&2; exit 2 ;;
esac
# Bytes, not characters: a wide character is three bytes from E3 (U+3000)
# to E9 or from EF in UTF-8.
export LC_ALL=C
wide='[\xe3-\xe9\xef][\x80-\xbf][\x80-\xbf]'
closing='、\|。\|，\|．\|：\|；\|？\|！\|）\|」\|』\|】'
no_break_before="$closing"'\|ー\|・\|～\|ぁ\|ぃ\|ぅ\|ぇ\|ぉ\|っ\|ゃ\|ゅ\|ょ\|ァ\|ィ\|ゥ\|ェ\|ォ\|ッ\|ャ\|ュ\|ョ'
no_break_after='（\|「\|『\|【'
sed -e '/^\.\\"/d' -e "/^$other: /d" -e "s/^$language: //" -e "s/@VERSION@/$version/g" "$source" |
  if [ "$language" = ja ]; then
    sed -e "s/\\($wide\\)/\\\\:\\1/g" \
      -e "s/\\($closing\\)/\\1\\\\:/g" \
      -e 's/\\:\\:/\\:/g' \
      -e "s/\\\\:\\($no_break_before\\)/\\1/g" \
      -e "s/\\($no_break_after\\)\\\\:/\\1/g"
  else
    cat
  fi | gzip -9n > "$output.part"
mv "$output.part" "$output"
