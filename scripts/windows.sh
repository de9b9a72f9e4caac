#!/usr/bin/env bash
# The Windows build: cross-builds both programs and their tests with
# MinGW-w64, runs every test under Wine, starts the main dialog once in each
# language under Xvfb with screenshots, and packs sorrel-<version>-win64.zip.
#
#   bash scripts/windows.sh            everything
#   bash scripts/windows.sh build      set up, configure and build only
#   bash scripts/windows.sh shots      the dialog runs and their screenshots again
#   bash scripts/windows.sh wine CMD   run CMD in the test Wine (set up first)
#
# Everything lives in build-win/: the private Boost headers, the Japanese
# glibc locale, the Wine prefix and the build. Wine runs headless with its
# null graphics driver; only the screenshots use Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build-win
jobs=${JOBS:-2}
mkdir -p "$out"

# Boost.Regex 1.81 headers, unpacked privately: Debian's package conflicts
# with the default 1.74 headers the Linux build uses.
boost_headers() {
  local deps=$out/deps
  if [ ! -f "$deps/boostinc/boost/regex.hpp" ]; then
    mkdir -p "$deps"
    (cd "$deps" && rm -f libboost1.81-dev_*.deb &&
      { apt-get download libboost1.81-dev >/dev/null 2>&1 ||
        { apt-get update >/dev/null && apt-get download libboost1.81-dev >/dev/null; }; })
    rm -rf "$deps/pkg" && dpkg-deb -x "$deps"/libboost1.81-dev_*.deb "$deps/pkg"
    mkdir -p "$deps/boostinc"
    ln -sfn "$deps/pkg/usr/include/boost" "$deps/boostinc/boost"
  fi
  echo "$deps/boostinc"
}

# A Japanese Windows: Wine takes its code pages from the glibc locale, so a
# generated ja_JP.UTF-8 must exist (without it Wine silently runs on 1252).
# Tool messages stay English.
export LOCPATH=$out/locale
if [ ! -d "$LOCPATH/ja_JP.UTF-8" ]; then
  mkdir -p "$LOCPATH"
  localedef -i ja_JP -f UTF-8 "$LOCPATH/ja_JP.UTF-8" 2>/dev/null || true
fi
export LANG=C.UTF-8 LC_CTYPE=ja_JP.UTF-8
unset LC_ALL LC_MESSAGES
export WINEPREFIX=$out/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# The prefix: null graphics driver (dialogs, even hidden ones, need a
# driver), no crash dialog (a crash would wait for a click for ever), and the
# dialog fonts mapped to the proportional IPA font: the Japanese dialog's,
# and the English dialog's, which on a Japanese system would otherwise fall
# to a monospaced font (Wine's own Latin fonts lack the Japanese charset).
# The server started below is ours: it goes when this script ends.
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

wine_prefix() {
  if [ ! -f "$WINEPREFIX/.sorrel-ready" ]; then
    rm -rf "$WINEPREFIX"
    DISPLAY= wineboot -i </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
    for font in 'MS UI Gothic' 'MS Sans Serif'; do
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /t REG_SZ /d IPAPGothic /f \
        </dev/null >/dev/null 2>&1
    done
    wineserver -w
    touch "$WINEPREFIX/.sorrel-ready"
  fi
  # One persistent server, started with every descriptor on /dev/null: Wine's
  # helpers inherit descriptors, and a pipe held open by them never closes.
  wineserver -p </dev/null >/dev/null 2>&1 || true
  wine cmd /c exit 0 </dev/null >/dev/null 2>&1
}

# dialog_run LANG: the main dialog of sorrel.exe in a Wine virtual desktop
# (which draws the frame and caption; there is no window manager) under
# Xvfb, driven by keys: a screenshot of it as it opens with no settings
# (build/renders/win32-main-LANG.png), then a target typed in, "convert line
# ends" checked (Alt+C), Start (Alt+S), a screenshot of the result dialog
# (win32-result-LANG.png), OK, the About box (win32-about-LANG.png), Close
# and Exit. The file must come out with CR+LF and the settings must hold the
# target.
dialog_run() {
  local lang=$1 renders=$root/build/renders folder=$out/dialog-run-$1
  mkdir -p "$renders"
  rm -rf "$folder" && mkdir -p "$folder" && printf 'a\nb\n' > "$folder/lf.txt"
  wine reg delete 'HKCU\Software\FenwrightAns\sorrel' /f </dev/null >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d x11 /f </dev/null >/dev/null 2>&1
  wineserver -k || true
  wineserver -w
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    SORREL_LANG=$1 timeout 60 wine explorer /desktop=sorrel,720x620 "$2" </dev/null >/dev/null 2>&1 &
    for i in $(seq 1 60); do
      xwininfo -root -tree 2>/dev/null | grep -q "\"Sorrel\"" && break
      sleep 0.5
    done
    xdotool mousemove 1000 760
    sleep 2
    import -window root -crop 720x620+0+0 +repage "$3/win32-main-$1.png"
    xdotool type --delay 10 "$4"
    xdotool key alt+c alt+s
    sleep 3
    import -window root -crop 720x620+0+0 +repage "$3/win32-result-$1.png"
    xdotool key Return
    sleep 1
    xdotool key alt+v
    sleep 2
    import -window root -crop 720x620+0+0 +repage "$3/win32-about-$1.png"
    xdotool key Escape
    sleep 1
    xdotool key alt+x
    sleep 1
    wineserver -k' run "$lang" "$(winepath -w "$out/build/bin/sorrel.exe" 2>/dev/null)" "$renders" \
    "$(winepath -w "$folder" 2>/dev/null)\\*.txt" </dev/null >/dev/null 2>&1
  wineserver -w
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f </dev/null >/dev/null 2>&1
  local saved
  saved=$(wine reg query 'HKCU\Software\FenwrightAns\sorrel\CurrentVersion' /v TargetPath \
    </dev/null 2>/dev/null | tr -d '\r' | grep TargetPath || true)
  wineserver -w
  echo "screenshots: $renders/win32-{main,result,about}-$lang.png"
  if [ "$(od -An -tx1 "$folder/lf.txt" | tr -d ' \n')" != "610d0a620d0a" ] ||
    [[ "$saved" != *'*.txt' ]]; then
    echo "FAIL: the $lang dialog did not convert lf.txt or keep its target (${saved:-none})" >&2
    return 1
  fi
  echo "dialog run ($lang): passed"
}

configure_and_build() {
  local boost
  boost=$(boost_headers)
  cmake -S . -B "$out/build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DSORREL_BOOST_INCLUDE="$boost" >/dev/null
  nice cmake --build "$out/build" -j"$jobs" "$@"
}

case "${1:-all}" in
  build)
    shift
    wine_prefix
    configure_and_build "$@"
    ;;
  wine)
    shift
    wine_prefix
    "$@"
    ;;
  shots)
    wine_prefix
    dialog_run ja
    dialog_run en
    ;;
  all)
    wine_prefix
    configure_and_build
    # Every test has a time limit: a box or a crash under Wine would
    # otherwise wait for ever.
    ctest --test-dir "$out/build" --output-on-failure -j"$jobs" --timeout 120
    dialog_run ja
    dialog_run en
    echo "package: $out/build/sorrel-$(sed -n 's/^project(sorrel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)-win64.zip"
    ;;
esac
