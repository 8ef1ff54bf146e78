#!/bin/sh
# Checks that every image the resource collections name exists with the
# pixel size the browser expects. Needs ImageMagick's identify.
set -eu

src=$(cd "$(dirname "$0")/../src" && pwd)
failures=0
count=0

expect() {
    file=$1
    want=$2
    count=$((count + 1))
    if [ ! -f "$src/$file" ]; then
        echo "missing: $file"
        failures=$((failures + 1))
        return
    fi
    got=$(identify -format '%wx%h' "$src/$file")
    if [ "$got" != "$want" ]; then
        echo "wrong size: $file is $got, expected $want"
        failures=$((failures + 1))
    fi
}

for kind in rar xls video picture word folder music other docu pdf ppt; do
    for tone in "" _gray; do
        expect "images/filetypes/overview_icon_file_$kind$tone.png" 48x48
        expect "images/filetypes/overview_icon_file_$kind$tone@2x.png" 96x96
    done
done
for button in minimize maximize restore close; do
    expect "images/gui/$button.png" 23x19
    expect "images/gui/$button@2x.png" 47x38
done
expect images/gui/channel_webbroswer_logo.png 20x20
expect images/gui/channel_webbroswer_logo@2x.png 40x40
expect images/gui/main.png 256x256
expect images/gui/main@2x.png 512x512
expect images/gui/x.png 12x12
expect images/gui/x@2x.png 24x24
expect images/gui/webfileempty.png 214x214
expect images/gui/webfileempty@2x.png 428x428

# Every PNG the collections list must be one of those checked above.
listed=$(grep -ho 'images/[^<]*\.png' "$src"/*.qrc | sort -u | wc -l)
if [ "$listed" -ne "$count" ]; then
    echo "the resource collections list $listed images, $count are checked"
    failures=$((failures + 1))
fi

echo "$((count - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
