#!/usr/bin/env bash
# Installs the build into a temporary folder and checks what a user's system
# would get: the two programs, the desktop entry, the AppStream metadata, the
# MIME types and the icons. Then builds the Debian package and checks its
# control fields and contents against the same list of files.
#
# usage: check-install.sh BUILD_DIR SOURCE_DIR VERSION CMAKE CPACK MIME_PROBE WITH_CLI
# WITH_CLI is 1 when quarvine-cli is built (and so installed), else 0.
set -euo pipefail

build=$1 source=$2 version=$3 cmake=$4 cpack=$5 probe=$6 with_cli=$7

# The application id and the icon sizes a desktop expects to find.
app=org.quarvine.Quarvine
sizes="16 24 32 48 64 128 256"

work=$(mktemp -d "${TMPDIR:-/tmp}/quarvine-packaging.XXXXXX")
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

# Every file the install puts under the prefix, relative to it.
expected="$work/expected.txt"
{
    echo "bin/quarvine"
    if [ "$with_cli" = 1 ]; then echo "bin/quarvine-cli"; fi
    echo "share/applications/$app.desktop"
    echo "share/metainfo/$app.metainfo.xml"
    echo "share/mime/packages/$app.xml"
    echo "share/icons/hicolor/scalable/apps/$app.svg"
    echo "share/doc/quarvine/copyright"
    for s in $sizes; do
        echo "share/icons/hicolor/${s}x${s}/apps/$app.png"
    done
} | LC_ALL=C sort >"$expected"

# compare_lists WHAT ACTUAL: the actual list must equal the expected one.
compare_lists() {
    if diff -u "$expected" "$2" >"$work/diff.txt"; then
        pass "$1 holds exactly the expected $(wc -l <"$expected") files"
    else
        fail "$1 differs from the expected files (- missing, + unexpected):"
        sed -n '3,$p' "$work/diff.txt" | grep '^[-+]' >&2 || true
    fi
}

# png_size FILE: prints "WIDTHxHEIGHT" from the PNG header, or "not-png".
png_size() {
    local sig
    sig=$(od -An -tx1 -N8 "$1" | tr -d ' \n')
    if [ "$sig" != "89504e470d0a1a0a" ]; then
        echo "not-png"
        return
    fi
    local w h
    w=$(od -An -tu1 -j16 -N4 "$1" | awk '{print (($1*256+$2)*256+$3)*256+$4}')
    h=$(od -An -tu1 -j20 -N4 "$1" | awk '{print (($1*256+$2)*256+$3)*256+$4}')
    echo "${w}x${h}"
}

# --- 1. cmake --install into a temporary DESTDIR -----------------------------
root="$work/root"
if ! DESTDIR="$root" "$cmake" --install "$build" --prefix /usr >"$work/install.log" 2>&1; then
    cat "$work/install.log" >&2
    echo "FAIL: cmake --install failed" >&2
    exit 1
fi
usr="$root/usr"
(cd "$usr" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort) >"$work/installed.txt"
compare_lists "the installed tree" "$work/installed.txt"
if [ -n "$(find "$root" -mindepth 1 -maxdepth 1 ! -name usr)" ]; then
    fail "the install wrote outside the prefix: $(find "$root" -mindepth 1 -maxdepth 1 ! -name usr)"
fi

programs=(quarvine)
if [ "$with_cli" = 1 ]; then programs+=(quarvine-cli); fi
for exe in "${programs[@]}"; do
    [ -x "$usr/bin/$exe" ] || fail "bin/$exe is not executable"
done
if [ "$with_cli" = 1 ]; then
    if "$usr/bin/quarvine-cli" --help >"$work/cli-help.txt" 2>&1 &&
        grep -q "export" "$work/cli-help.txt"; then
        pass "the installed quarvine-cli runs"
    else
        fail "the installed quarvine-cli --help did not run: $(head -3 "$work/cli-help.txt")"
    fi
fi

for s in $sizes; do
    png="$usr/share/icons/hicolor/${s}x${s}/apps/$app.png"
    [ -f "$png" ] || continue
    got=$(png_size "$png")
    if [ "$got" = "${s}x${s}" ]; then
        pass "icon ${s}x${s} is a ${got} PNG"
    else
        fail "icon ${s}x${s}: found $got"
    fi
done
svg="$usr/share/icons/hicolor/scalable/apps/$app.svg"
if [ -f "$svg" ] && ! cmp -s "$svg" "$source/src/mainwindow/icons/app.svg"; then
    fail "the scalable icon is not the program's app.svg"
fi

copyright="$usr/share/doc/quarvine/copyright"
if [ -f "$copyright" ]; then
    grep -qx "License: MIT" "$copyright" || fail "the copyright file names no SPDX licence"
    head -1 "$copyright" | grep -q "^Format: .*copyright-format/1.0/" ||
        fail "the copyright file is not in Debian's machine-readable format"
fi

# --- 2. desktop entry ---------------------------------------------------------
desktop="$usr/share/applications/$app.desktop"
if ! command -v desktop-file-validate >/dev/null; then
    fail "desktop-file-validate not found (Debian package desktop-file-utils)"
elif [ -f "$desktop" ]; then
    # It exits 0 on hints; errors and warnings are printed, so any output fails.
    if out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ]; then
        pass "desktop-file-validate accepts the desktop entry"
    else
        fail "desktop-file-validate: $out"
    fi
fi
# desktop_key KEY: the value of KEY in the [Desktop Entry] group.
desktop_key() { sed -n "s/^$1=//p" "$desktop" | head -1; }
if [ -f "$desktop" ]; then
    [ "$(desktop_key Icon)" = "$app" ] || fail "desktop entry Icon=$(desktop_key Icon), expected $app"
    exec_line=$(desktop_key Exec)
    [ "${exec_line%% *}" = "quarvine" ] || fail "desktop entry Exec=$exec_line does not start quarvine"
    mimetypes=$(desktop_key MimeType | tr ';' ' ')
    [ -n "$mimetypes" ] || fail "desktop entry lists no MimeType"
    for t in $mimetypes; do
        grep -q "<mime-type type=\"$t\">" "$usr/share/mime/packages/$app.xml" ||
            fail "desktop entry MIME type $t is not defined in $app.xml"
    done
fi

# --- 3. AppStream metadata ----------------------------------------------------
metainfo="$usr/share/metainfo/$app.metainfo.xml"
if ! command -v appstreamcli >/dev/null; then
    fail "appstreamcli not found (Debian package appstream)"
elif [ -f "$metainfo" ]; then
    if appstreamcli validate --no-net "$metainfo" >"$work/appstream.txt" 2>&1; then
        pass "appstreamcli validate accepts the metadata"
    else
        fail "appstreamcli validate: $(cat "$work/appstream.txt")"
    fi
fi
if [ -f "$metainfo" ]; then
    grep -q "<id>$app</id>" "$metainfo" || fail "metadata id is not $app"
    grep -q "<launchable type=\"desktop-id\">$app.desktop</launchable>" "$metainfo" ||
        fail "metadata does not launch $app.desktop"
    newest=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -1)
    [ "$newest" = "$version" ] ||
        fail "newest release in the metadata is '$newest', the project is $version"
fi

# --- 4. MIME types: the shared MIME database and Qt's reading of it ---------
mimexml="$usr/share/mime/packages/$app.xml"
if ! command -v update-mime-database >/dev/null; then
    fail "update-mime-database not found (Debian package shared-mime-info)"
elif [ -f "$mimexml" ]; then
    mimedb="$work/xdg/mime"
    mkdir -p "$mimedb/packages"
    cp "$mimexml" "$mimedb/packages/"
    if out=$(XDG_DATA_HOME="$work/nohome" XDG_DATA_DIRS="$work/xdg" \
        update-mime-database "$mimedb" 2>&1) && [ -z "$out" ]; then
        pass "update-mime-database reads $app.xml without complaint"
    else
        fail "update-mime-database: $out"
    fi
    for glob in '*.Dat' '*.dat'; do
        grep -qxF "50:application/x-quarvine-spells:$glob:cs" "$mimedb/globs2" ||
            fail "the MIME database has no case-sensitive $glob glob"
    done
    if grep -q ':text/x-quarvine-spell-text:' "$mimedb/globs2"; then
        fail "the spell text type has a file name pattern: $(grep ':text/x-quarvine-spell-text:' "$mimedb/globs2")"
    fi
    grep -aqF '[50:text/x-quarvine-spell-text]' "$mimedb/magic" ||
        fail "the MIME database has no content rule for the spell text"
fi
if [ -f "$mimexml" ]; then
    samples="$source/samples"
    mkdir -p "$work/files"
    cp "$samples/sample-spells.Dat" "$work/files/set.Dat"
    cp "$samples/sample-spells.Dat" "$work/files/set.dat"
    cp "$samples/sample-spells.Dat" "$work/files/other.DAT"
    cp "$samples/sample-spells.txt" "$work/files/spells-shipped"
    cp "$samples/sample-spells.txt" "$work/files/spells-shipped.txt"
    printf 'Just a note.\n' >"$work/files/note"
    if [ "$with_cli" = 1 ]; then
        "$usr/bin/quarvine-cli" export "$samples/sample-spells" "$work/files/spells-exported" >/dev/null ||
            fail "the installed quarvine-cli could not export the sample collection"
    fi
    # check_type FILE EXPECTED
    check_type() {
        local got
        got=$(XDG_DATA_HOME="$work/nohome" XDG_DATA_DIRS="$usr/share:/usr/local/share:/usr/share" \
            "$probe" "$work/files/$1")
        if [ "$got" = "$2" ]; then
            pass "$1 is $2"
        else
            fail "$1 is '$got', expected $2"
        fi
    }
    check_type set.Dat application/x-quarvine-spells
    check_type set.dat application/x-quarvine-spells
    check_type other.DAT text/plain
    check_type spells-shipped.txt text/plain
    check_type spells-shipped text/x-quarvine-spell-text
    if [ "$with_cli" = 1 ]; then
        check_type spells-exported text/x-quarvine-spell-text
    fi
    check_type note text/plain
fi

# --- 5. the Debian package ----------------------------------------------------
if ! command -v dpkg-deb >/dev/null; then
    echo "dpkg-deb not found: the Debian package is not checked"
else
    if ! "$cpack" --config "$build/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log" 2>&1; then
        cat "$work/cpack.log" >&2
        fail "cpack failed"
    fi
    debs=("$work"/deb/quarvine_"$version"_*.deb)
    if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
        fail "cpack made no single quarvine_${version}_*.deb: $(ls "$work/deb")"
    else
        deb=${debs[0]}
        pass "cpack made $(basename "$deb")"
        dpkg-deb --info "$deb" >"$work/info.txt"
        field() { sed -n "s/^ $1: //p" "$work/info.txt"; }
        [ "$(field Package)" = "quarvine" ] || fail "Package: '$(field Package)'"
        [ "$(field Version)" = "$version" ] || fail "Version: '$(field Version)', expected $version"
        [ "$(field Section)" = "games" ] || fail "Section: '$(field Section)'"
        [ -n "$(field Maintainer)" ] || fail "no Maintainer"
        depends=$(field Depends)
        if [ -z "$depends" ]; then
            fail "empty Depends line"
        else
            for lib in libc6 libqt6core6 libqt6widgets6 libqt6svg6; do
                grep -Eq "(^|, )$lib( |,|$)" <<<"$depends" ||
                    fail "Depends lacks $lib: $depends"
            done
            pass "Depends: $depends"
        fi

        # Paths of the regular files in the package, relative to /usr.
        dpkg-deb --contents "$deb" >"$work/contents.txt"
        awk '$1 ~ /^-/ {print $6}' "$work/contents.txt" | sed 's|^\./usr/||' |
            LC_ALL=C sort >"$work/packaged.txt"
        compare_lists "the package" "$work/packaged.txt"
        if grep -v ' \./usr/' "$work/contents.txt" | grep -vq ' \./$'; then
            fail "the package has files outside /usr: $(grep -v ' \./usr/' "$work/contents.txt" | grep -v ' \./$')"
        fi
        awk '$1 ~ /^-/ && $2 != "root/root" {print $6}' "$work/contents.txt" >"$work/owners.txt"
        [ ! -s "$work/owners.txt" ] || fail "files not owned by root: $(cat "$work/owners.txt")"
        for exe in "${programs[@]}"; do
            grep -Eq "^-rwxr-xr-x .* \./usr/bin/$exe$" "$work/contents.txt" ||
                fail "usr/bin/$exe is not mode 755 in the package"
        done

        # The packaged (stripped) tool runs.
        if [ "$with_cli" = 1 ]; then
            dpkg-deb -x "$deb" "$work/unpacked"
            if "$work/unpacked/usr/bin/quarvine-cli" info "$source/samples/sample-spells" >/dev/null 2>&1; then
                pass "the packaged quarvine-cli reads the sample collection"
            else
                fail "the packaged quarvine-cli cannot read the sample collection"
            fi
        fi
    fi
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures packaging check(s) failed" >&2
    exit 1
fi
echo "all packaging checks passed"
