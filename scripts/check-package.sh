#!/usr/bin/env bash
# Builds the Debian package and checks it as a user's system would see it:
# lintian reports no error; the desktop entry and the AppStream metadata
# validate; the package, unpacked into a scratch folder, holds the programs,
# the desktop entry, the icons, the metadata, the manual pages and the
# completion; the unpacked programs run; the manual pages render without a
# warning; the completion completes.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/package.sh build/package

id=org.varnformat.convertor
version=$(sed -n 's/^project(varn VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb="build/package/varn_${version}_amd64.deb"
fail() {
    echo "check-package.sh: $*" >&2
    exit 1
}
[[ -f $deb ]] || fail "$deb not built"
changelog_version=$(sed -n '1s/^varn (\([^)]*\)).*/\1/p' packaging/changelog)
[[ $changelog_version == "$version" ]] ||
    fail "packaging/changelog starts at $changelog_version, the project is at $version"

echo "== $deb: $(stat -c %s "$deb") bytes"
dpkg-deb -f "$deb" Package Version Architecture Section Installed-Size Depends
[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "package version is not $version"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "no library dependencies computed"

echo "== reproducible: a second build in another folder gives the same bytes"
./scripts/package.sh build/package-again >/dev/null
first=$(sha256sum <"$deb")
second=$(sha256sum <"build/package-again/varn_${version}_amd64.deb")
echo "$first"
[[ $first == "$second" ]] || fail "two builds of the package differ: $first, $second"

echo "== hardening"
for program in varn varn-gui; do
    readelf -d "build/package/src/$([[ $program == varn ]] && echo cli || echo ui)/$program" |
        grep -q 'BIND_NOW' || fail "$program is not linked with -z now"
done

echo "== lintian"
lintian --allow-root --fail-on error --display-level '>=warning' "$deb" || fail "lintian reports errors"
hardening=$(lintian --allow-root --display-level '>=info' "$deb" | grep hardening || true)
[[ -z $hardening ]] || fail "lintian's hardening tags: $hardening"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch"
for file in usr/bin/varn usr/bin/varn-gui \
    "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml" \
    "usr/share/icons/hicolor/scalable/apps/$id.svg" \
    "usr/share/icons/hicolor/48x48/apps/$id.png" "usr/share/icons/hicolor/256x256/apps/$id.png" \
    usr/share/man/man1/varn.1.gz usr/share/man/man1/varn-gui.1.gz \
    usr/share/bash-completion/completions/varn \
    usr/share/doc/varn/copyright usr/share/doc/varn/changelog.gz; do
    [[ -f $scratch/$file ]] || fail "the package lacks $file"
done
for size in 48 256; do
    file "$scratch/usr/share/icons/hicolor/${size}x$size/apps/$id.png" |
        grep -q "PNG image data, $size x $size," || fail "the $size px icon is not $size x $size"
done

echo "== desktop-file-validate, appstreamcli validate"
desktop-file-validate "$scratch/usr/share/applications/$id.desktop"
appstreamcli validate --pedantic --no-net "$scratch/usr/share/metainfo/$id.metainfo.xml"
[[ -z $(appstreamcli validate --pedantic --no-net "$scratch/usr/share/metainfo/$id.metainfo.xml" |
    grep -E '^[EWIP]:') ]] || fail "appstreamcli validate --pedantic is not clean"
grep -q '^MimeType=text/csv;text/tab-separated-values;$' "$scratch/usr/share/applications/$id.desktop" ||
    fail "the desktop entry's MIME list"
grep -q '^License: Expat$' "$scratch/usr/share/doc/varn/copyright" || fail "the copyright file's licence"

echo "== the unpacked programs"
[[ $("$scratch/usr/bin/varn" --version) == "varn $version" ]] || fail "varn --version"
[[ $(QT_QPA_PLATFORM=offscreen "$scratch/usr/bin/varn-gui" --version) == "varn-gui $version" ]] ||
    fail "varn-gui --version"
"$scratch/usr/bin/varn" --version
printf '1971,1,4,4.318\n' | "$scratch/usr/bin/varn" convert --format 0 - - | grep -q '^1/4/1971' ||
    fail "the unpacked varn does not convert"

echo "== man -l"
for page in varn varn-gui; do
    warnings=$(MANWIDTH=80 man --warnings -l "$scratch/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [[ -z $warnings ]] || fail "$page.1 renders with warnings:"$'\n'"$warnings"
done

echo "== bash completion"
# Completes the words of a command line (the last one being completed) and
# prints the candidates, one a line.
complete_words() {
    PATH="$scratch/usr/bin:$PATH" bash -c '
        source /usr/share/bash-completion/bash_completion
        source "$1/usr/share/bash-completion/completions/varn"
        shift
        COMP_WORDS=("$@")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMP_LINE="$*"
        COMP_POINT=${#COMP_LINE}
        _varn varn "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        printf "%s\n" "${COMPREPLY[@]}"' complete_words "$scratch" "$@"
}
expect_completion() {
    local expected=$1
    shift
    local got
    got=$(complete_words "$@" | LC_ALL=C sort | tr '\n' ' ')
    [[ $got == "$expected " ]] || fail "completing '$*': got '$got', expected '$expected'"
}
expect_completion "bars" varn b
expect_completion "convert count" varn co
expect_completion "--verbose --version" varn --v
expect_completion "--date-layout --decimal-comma --decimals --delimiter" varn bars --d
expect_completion "0 1 2 3 4" varn convert --format ''
expect_completion "1 15min" varn bars --period 1
expect_completion "space" varn bars --delimiter s
expect_completion "--columns --decimal-comma --help --json --member --quiet --verbose --zone-in --zone-out -h -q -v" \
    varn detect a.csv ''
expect_completion "0 1 2 3 4 5 6 7 8 auto" varn bars --time-layout ''
expect_completion "2 20 21 22 23" varn bars -d 2
complete_words varn convert -f 0 packaging/change | grep -qx packaging/changelog ||
    fail "completion offers no file names"
echo "check-package.sh: $deb passes"
