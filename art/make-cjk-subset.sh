#!/bin/sh
# Rebuilds src/fonts/Deng.ttf: WenQuanYi Micro Hei cut down to ASCII plus the
# characters listed in cjk-common-chars.txt. The full font is about 5 MB; the
# program only carries a CJK face, so a few hundred common characters do.
#
# Needs Debian's fonts-wqy-microhei (the source font) and fonttools
# (pyftsubset). Not run by the build: the result is committed.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
source_font=${SOURCE_FONT:-/usr/share/fonts/truetype/wqy/wqy-microhei.ttc}
output=${1:-$here/../src/fonts/Deng.ttf}

if [ ! -r "$source_font" ]; then
    echo "missing $source_font: apt-get install fonts-wqy-microhei" >&2
    exit 1
fi

# Face 0 of the collection is the proportional "WenQuanYi Micro Hei".
# Hinting and layout features are dropped: they double the size and the
# subset has no scripts that need shaping.
pyftsubset "$source_font" \
    --font-number=0 \
    --text-file="$here/cjk-common-chars.txt" \
    --unicodes=U+0020-007E \
    --no-hinting \
    --layout-features= \
    --name-IDs='*' \
    --output-file="$output"

echo "wrote $output ($(wc -c <"$output") bytes)"
