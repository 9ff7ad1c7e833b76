#!/usr/bin/env bash
# Draws the embedded pictures of resources/ (run by hand when the art changes;
# the PNGs are committed). Needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/../resources"
IM=/usr/bin/convert

strips() {
    local args=()
    for i in 0 1 2 3 4 5 6 7; do
        local x=$((40 + i * 78))
        args+=(-fill '#2b2b30' -draw "roundrectangle $x,60 $((x + 66)),560 8,8")
        args+=(-fill '#5a5a62' -draw "circle $((x + 33)),110 $((x + 33)),86")
        args+=(-fill '#44444c' -draw "roundrectangle $((x + 8)),160 $((x + 58)),176 4,4")
        args+=(-fill '#44444c' -draw "roundrectangle $((x + 8)),186 $((x + 58)),202 4,4")
        args+=(-fill '#44444c' -draw "roundrectangle $((x + 8)),212 $((x + 58)),228 4,4")
        args+=(-fill '#44444c' -draw "roundrectangle $((x + 8)),238 $((x + 58)),254 4,4")
        args+=(-fill '#111114' -draw "rectangle $((x + 30)),280 $((x + 36)),540")
        args+=(-fill '#9a9aa4' -draw "roundrectangle $((x + 16)),400 $((x + 50)),430 3,3")
    done
    printf '%s\n' "${args[@]}"
}

mapfile -t S < <(strips)

$IM -size 1000x600 xc:'#1c1c20' "${S[@]}" \
    -fill '#2b2b30' -draw "roundrectangle 680,60 960,560 10,10" \
    -fill '#111114' -draw "rectangle 717,280 723,540" \
    -fill '#9a9aa4' -draw "roundrectangle 703,400 737,430 3,3" \
    -fill '#3a3a42' -draw "circle 860,420 860,340" \
    -fill '#26262c' -draw "circle 860,420 860,380" \
    -fill '#44444c' -draw "roundrectangle 770,80 950,250 6,6" \
    PNG32:bg.png

$IM -size 1000x600 xc:'#1c1c20' "${S[@]}" PNG32:bgex.png

$IM -size 430x40 xc:none -font DejaVu-Sans-Bold -pointsize 26 -fill '#d8d8e0' \
    -gravity west -annotate +4+0 'TREVAN M' PNG32:trv.png
$IM -size 430x40 xc:none -font DejaVu-Sans-Bold -pointsize 26 -fill '#d8d8e0' \
    -gravity west -annotate +4+0 'TREVAN X' PNG32:trx.png
$IM -size 156x50 xc:'#eeeeee' -font DejaVu-Sans-Bold -pointsize 30 -fill '#6655a8' \
    -gravity center -annotate +0+0 'ZORV' -colors 16 PNG8:ZorvLogo.png
