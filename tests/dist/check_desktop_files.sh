#!/usr/bin/env bash
# Installs the desktop files of the build into a throw-away root and checks one kind of them, failing
# on every error, warning or hint the validators report.
#   check_desktop_files.sh SECTION DIST_BUILD_DIR APP_ID
# SECTION: desktop-entry, metainfo, man-pages or icons.
set -euo pipefail
section=$1 dist_build=$2 app_id=$3

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root cmake --install "$dist_build" --prefix /usr >/dev/null
share=$root/usr/share

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Runs a validator; its exit status or any word it says fails the check.
quiet_or_fail() {
    local out
    command -v "$1" >/dev/null || fail "$1 is not installed (scripts/install-deps.sh installs it)"
    if ! out=$("$@" 2>&1) || [ -n "$out" ]; then
        printf '%s\n' "$out" >&2
        fail "$*"
    fi
}

# The value of KEY in the desktop entry's main group.
entry_value() {
    sed -n '/^\[Desktop Entry\]/,/^\[/{s/^'"$1"'=//p}' "$share/applications/$app_id.desktop"
}

case $section in
desktop-entry)
    entry=$share/applications/$app_id.desktop
    [ -f "$entry" ] || fail "no desktop entry at $entry"
    quiet_or_fail desktop-file-validate "$entry"
    # The menu shows the icon the entry names: it must be one that is installed.
    [ "$(entry_value Icon)" = "$app_id" ] || fail "the entry's icon \"$(entry_value Icon)\" is not $app_id"
    # Every launcher starts the installed program by name, found on the PATH.
    grep '^Exec=' "$entry" | grep -qv '^Exec=orvanta\( \|$\)' && fail "an Exec line does not start orvanta"
    ;;
metainfo)
    metainfo=$share/metainfo/$app_id.metainfo.xml
    [ -f "$metainfo" ] || fail "no metainfo at $metainfo"
    command -v appstreamcli >/dev/null || fail "appstreamcli is not installed"
    # Warnings and errors fail the validation; the one pedantic remark, an upper-case letter in the
    # reverse-DNS ID, is the ID's chosen spelling.
    out=$(appstreamcli validate --no-net --no-color "$metainfo" 2>&1) || {
        printf '%s\n' "$out" >&2
        fail "appstreamcli validate"
    }
    printf '%s\n' "$out" | grep -E '^[EWI]:' && fail "appstreamcli validate has remarks"
    # The tree check finds the desktop entry the metainfo launches.
    out=$(appstreamcli validate-tree --no-net --no-color "$root/usr" 2>&1) || {
        printf '%s\n' "$out" >&2
        fail "appstreamcli validate-tree"
    }
    printf '%s\n' "$out" | grep -E '^[EWI]:' && fail "appstreamcli validate-tree has remarks"
    ;;
man-pages)
    for page in orvanta orvantactl; do
        file=$share/man/man1/$page.1.gz
        [ -f "$file" ] || fail "no man page at $file"
        gzip -t "$file" || fail "$file is not a sound gzip file"
        quiet_or_fail mandoc -Tlint -W warning "$file"
        # man-db renders it without complaint, and the page names its program.
        out=$(MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null) || fail "man -l $file"
        [ -z "$out" ] || { printf '%s\n' "$out" >&2; fail "man -l $file warns"; }
        MANWIDTH=80 man -l "$file" 2>/dev/null | grep -Eq "^ *$page +- " || fail "$file has no NAME line for $page"
        # Installed folders are filled in when the page is built.
        zgrep -q '@[A-Z_]*@' "$file" && fail "$file holds an unreplaced placeholder"
    done
    ;;
icons)
    svg=$share/icons/hicolor/scalable/apps/$app_id.svg
    [ -f "$svg" ] || fail "no scalable icon at $svg"
    for size in 16 22 24 32 48 64 128 256; do
        png=$share/icons/hicolor/${size}x${size}/apps/$app_id.png
        [ -f "$png" ] || fail "no $size px icon at $png"
        # The PNG signature, then the IHDR chunk's width and height as 4-byte big-endian numbers.
        [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$png is not a PNG"
        read -r width height < <(od -An -j16 -N8 -tu1 "$png" |
            awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
        [ "$width" = "$size" ] && [ "$height" = "$size" ] || fail "$png is $width x $height, not $size x $size"
    done
    ;;
*)
    fail "unknown section $section"
    ;;
esac
echo "$section: clean"
