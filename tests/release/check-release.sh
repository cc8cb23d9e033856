#!/usr/bin/env bash
# Checks the download scripts/release made: each Windows zip holds the tested program and the two texts
# in one folder, the page is the tested one, the web zip holds the tested site, SHA256SUMS matches, and
# the same sources give the same bytes when built again in another folder: the download through
# scripts/release, and the 32-bit program alone (tests off, GoogleTest, Google Benchmark and Wine out of
# reach), which must be the program the tests ran.
# Usage: tests/release/check-release.sh   (after scripts/release)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root"
release=$root/build/release
version=$(sed -nE 's/^project\(Tippwerk VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
folder=Tippwerk-$version

fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$release" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the zips"
elsewhere=$(mktemp -d "${TMPDIR:-/tmp}/tippwerk-rebuilt.XXXXXX")
trap 'rm -rf "$elsewhere"' EXIT
for bits in win32 win64; do
    zip=$release/$folder-$bits.zip
    entries=$(unzip -Z1 "$zip" | tr '\n' ' ')
    [ "$entries" = "$folder/ $folder/tippwerk.exe $folder/LIESMICH.txt $folder/LIZENZ.txt " ] ||
        fail "$zip holds $entries"
    unzip -q "$zip" -d "$elsewhere/$bits"
    cmp -s "$elsewhere/$bits/$folder/tippwerk.exe" "build/$bits/tippwerk.exe" ||
        fail "$zip holds another tippwerk.exe than the tested build/$bits/tippwerk.exe"
    for text in LIESMICH.txt LIZENZ.txt; do
        [ "$(head -c 3 "$elsewhere/$bits/$folder/$text")" = $'\xef\xbb\xbf' ] ||
            fail "$text in $zip has no UTF-8 byte-order mark"
        ! grep -qv $'\r$' "$elsewhere/$bits/$folder/$text" || fail "$text in $zip has a line without CRLF"
    done
done

cmp -s "$release/$folder.html" build/web/tippwerk.html || fail "$folder.html is not the tested build/web/tippwerk.html"

zip=$release/$folder-web.zip
entries=$(unzip -Z1 "$zip" | tr '\n' ' ')
site=$(cd build/web/site && LC_ALL=C ls | sed "s|^|$folder/|" | tr '\n' ' ')
[ "$entries" = "$folder/ $site" ] || fail "$zip holds $entries"
unzip -q "$zip" -d "$elsewhere/web"
diff -r "$elsewhere/web/$folder" build/web/site >/dev/null || fail "$zip holds another site than the tested build/web/site"

# Another folder, with a path of another length, and only the files the sources are made of.
copy=$elsewhere/sources
mkdir "$copy"
git ls-files -z --cached --others --exclude-standard | while IFS= read -r -d '' file; do
    [ ! -e "$file" ] || cp --parents -t "$copy" "$file"   # a file deleted but not yet committed is gone
done
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
# The npm packages are the locked ones; the page takes its classic controls from them.
ln -s "$root/node_modules" "$copy/node_modules"

SOURCE_DATE_EPOCH=$epoch "$copy/scripts/release" >/dev/null
for file in SHA256SUMS "$folder-win32.zip" "$folder-win64.zip" "$folder.html" "$folder-web.zip"; do
    cmp -s "$release/$file" "$copy/build/release/$file" || fail "$file differs when built in $copy"
done

alone=$copy/build/program-alone
cmake -S "$copy" -B "$alone" -DCMAKE_TOOLCHAIN_FILE="$copy/cmake/mingw-w64-i686.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DBUILD_TESTING=OFF -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON -DTIPPWERK_GOOGLETEST_SOURCE="$elsewhere/none" >/dev/null
cmake --build "$alone" -j2 >/dev/null
# Neither the tests' folder nor any of their tools was so much as looked at.
[ ! -d "$alone/tests" ] && ! grep -qE '^(TIPPWERK_WINE|GTest_DIR|benchmark_DIR|gtest_|BUILD_GMOCK)' \
    "$alone/CMakeCache.txt" || fail "the program alone configured its tests or looked for their tools"
cmp -s "$alone/tippwerk.exe" build/win32/tippwerk.exe ||
    fail "the 32-bit program built alone differs from the tested build/win32/tippwerk.exe"

echo "ok: both Windows zips hold the tested programs with LIESMICH.txt and LIZENZ.txt, the page and the web zip's" \
    "site are the tested ones; a rebuild in $elsewhere gave the same zips, page and SHA256SUMS, and the 32-bit program built alone is the tested one" \
    "($(sha256sum build/win32/tippwerk.exe | cut -c1-16)...)"
