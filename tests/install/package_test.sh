#!/usr/bin/env bash
# The Debian package as a distribution would check it: CPack builds the .deb
# from the build folder; its file list holds the programs, the data, the
# desktop files and the manual pages and nothing of the build; its
# dependencies are runtime libraries (never a -dev package or a test
# library); lintian reports no error. Then the project configures with
# BUILD_TESTING=OFF where GoogleTest and Google Benchmark cannot be found.
#
#   package_test.sh BUILD_DIR SOURCE_DIR
#
# Exit status: 0 passed, 1 failed, 77 skipped (dpkg-deb or dpkg-shlibdeps missing).
set -euo pipefail

build=$(realpath -e "$1")
source=$(realpath -e "$2")
work=$(mktemp -d "${TMPDIR:-/tmp}/torvane-package.XXXXXX")
trap 'rm -rf "$work"' EXIT

log() { echo "package_test: $*" >&2; }
fail() { log "FAIL: $*"; exit 1; }

for tool in cpack dpkg-deb dpkg-shlibdeps file; do
  if ! command -v "$tool" >/dev/null; then
    log "SKIP: $tool is not installed (scripts/setup test installs it)"
    exit 77
  fi
done

# --- the package -------------------------------------------------------------
if ! (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out") >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  fail "cpack could not build the package"
fi
deb=$(ls "$work"/out/*.deb)
log "$(basename "$deb"): $(stat -c %s "$deb") bytes"

dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' >"$work/files"
for path in /usr/bin/torvane /usr/bin/torvane-replay /usr/bin/torvane-plot /usr/bin/torvane-sweep \
  /usr/share/torvane/tools/sweep_table.py /usr/share/torvane/tools/manoeuvres/skidpad.keys \
  /usr/share/torvane/maps/city.ldo /usr/share/torvane/maps/city.map /usr/share/torvane/objets/cars/mycar.x \
  /usr/share/applications/org.torvane.Torvane.desktop /usr/share/metainfo/org.torvane.Torvane.metainfo.xml \
  /usr/share/icons/hicolor/{32x32,64x64,128x128,256x256}/apps/org.torvane.Torvane.png \
  /usr/share/man/man6/torvane.6.gz /usr/share/man/man1/torvane-replay.1.gz /usr/share/man/man1/torvane-plot.1.gz \
  /usr/share/man/man1/torvane-sweep.1.gz \
  /usr/share/doc/torvane/copyright /usr/share/doc/torvane/changelog.gz; do
  grep -qxF "$path" "$work/files" || fail "the package lacks $path"
done
if grep -E 'torvane-source-data|^/usr/local|^/usr/include|\.a$|/test_|bench' "$work/files"; then
  fail "the package holds files of the build (above)"
fi

depends=$(dpkg-deb -f "$deb" Depends)
log "Depends: $depends"
for library in libc6 libstdc++6 libsdl2-2.0-0 libassimp5 libpng16-16 libjpeg62-turbo libfreetype6 \
  libfontconfig1 libtomlplusplus3 libavcodec59 libavformat59 libswscale6 fonts-dejavu-core python3-matplotlib; do
  [[ ", $depends," == *", $library"[\ ,]* ]] || fail "Depends lacks $library"
done
if grep -qE -- '-dev( |,|$)|gtest|gmock|benchmark' <<<"$depends"; then
  fail "Depends names a build or test package"
fi

if command -v lintian >/dev/null; then
  if ! lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1; then
    cat "$work/lintian.log" >&2
    fail "lintian reports errors"
  fi
  log "lintian: no errors ($(grep -c '^W:' "$work/lintian.log" || true) warnings)"
else
  log "lintian is not installed: not run"
fi

# --- a build without the test libraries --------------------------------------
if ! cmake -S "$source" -B "$work/without-tests" -DBUILD_TESTING=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >"$work/configure.log" 2>&1; then
  cat "$work/configure.log" >&2
  fail "BUILD_TESTING=OFF does not configure without GoogleTest and Google Benchmark"
fi
log "passed"
