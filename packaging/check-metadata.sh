#!/usr/bin/env bash
# Checks what the package says about itself: the AppStream metadata validates
# with no remark even when pedantic (offline), the desktop entry validates and
# offers only the types the program reads, and the licence is MIT in LICENSE,
# the metadata and the copyright file.
#
#   check-metadata.sh SOURCE_FOLDER METAINFO_FILE
set -u
source=$1
metainfo=$2
failures=0
fail() {
    echo "check-metadata.sh: $*"
    failures=$((failures + 1))
}
remarks=$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1 | grep -E '^[EWIP]:')
[[ -z $remarks ]] || fail "appstreamcli validate --pedantic: $remarks"
grep -q '<project_license>MIT</project_license>' "$metainfo" || fail "no MIT project_license"
grep -q '<metadata_license>' "$metainfo" || fail "no metadata_license"
grep -q 'https\?://' <(grep -v -e '<id>' "$metainfo") && fail "the metadata names a web address"
desktop=$(ls "$source"/packaging/*.desktop)
desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
grep -q '^MimeType=text/csv;text/tab-separated-values;$' "$desktop" || fail "the MIME list of $desktop"
head -1 "$source/LICENSE" | grep -q '^MIT License$' || fail "LICENSE is not the MIT licence"
grep -q '^License: Expat$' "$source/packaging/copyright" || fail "packaging/copyright: not Expat (MIT)"
grep -q 'all-rights-reserved' "$source/packaging/copyright" && fail "packaging/copyright reserves all rights"
exit $((failures > 0))
