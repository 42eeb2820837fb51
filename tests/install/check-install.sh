#!/bin/sh
# Installs the build under a scratch prefix and checks what a desktop needs of it: both programs,
# a valid desktop entry that opens .plm, comma and tab files through `pellumar FILE`, the icon at
# the theme's sizes, a .plm file type the MIME database takes, and a valid AppStream file.
#
#   check-install.sh BUILD_DIR PREFIX
set -eu
build=$1
prefix=$2
id=org.pellumar.Pellumar
checks=0
fail() {
    echo "FAIL: $*"
    exit 1
}
pass() {
    checks=$((checks + 1))
}

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"

for program in pellumar pellumar-convert; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
done
[ "$("$prefix/bin/pellumar" --version)" = "Pellumar 7.0" ] || fail "pellumar --version"
pass

desktop=$prefix/share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
grep -qx 'Exec=pellumar %f' "$desktop" || fail "the desktop entry does not start pellumar FILE"
grep -qx 'MimeType=application/x-pellumar;text/csv;text/tab-separated-values;' "$desktop" ||
    fail "the desktop entry offers other types than .plm, comma and tab files"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry names another icon"
pass

appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" ||
    fail "appstreamcli validate"
pass

mime=$prefix/share/mime
update-mime-database "$mime" || fail "update-mime-database refused the .plm type"
grep -q '^[0-9]*:application/x-pellumar:\*\.plm$' "$mime/globs2" || fail "no *.plm glob"
grep -q 'application/x-pellumar' "$mime/magic" || fail "no magic for .plm files"
[ -f "$mime/application/x-pellumar.xml" ] || fail "the .plm type is missing"
pass

for size in 16 22 24 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
    [ -f "$png" ] || fail "no ${size}x${size} icon"
    # The PNG's width and height: big-endian words at bytes 16 and 20.
    set -- $(od -An -tu1 -j16 -N8 "$png")
    width=$(($1 * 16777216 + $2 * 65536 + $3 * 256 + $4))
    height=$(($5 * 16777216 + $6 * 65536 + $7 * 256 + $8))
    [ "$width" = "$size" ] && [ "$height" = "$size" ] ||
        fail "the ${size}x${size} icon is ${width}x${height}"
done
pass

echo "$checks passed, 0 failed"
