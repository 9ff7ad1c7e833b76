#!/usr/bin/env bash
# Draws the embedded pictures of resources/ (run by hand when the art changes;
# the PNGs are committed). Needs ImageMagick (/usr/bin/convert) and the DejaVu
# fonts.
#
# The editor lays a translucent button over every control of the surface
# picture, so each drawn control must sit exactly under its button. The
# places below are copied from the editor's panels; when a rectangle there
# changes, change it here and run the script again.
set -euo pipefail
cd "$(dirname "$0")/../resources"
IM=/usr/bin/convert
FONT=DejaVu-Sans
FONT_BOLD=DejaVu-Sans-Bold

# Written without time stamps, so that an unchanged picture stays unchanged.
KEEP_STILL=(-define 'png:exclude-chunks=date,time' -define png:compression-level=9)

T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT

#==============================================================================
# Where things are

# The page draws the picture at (0, 0); the mixer panel lies below the
# product-name image (drawn at y 24, 40 high) and the control panel at
# (786, 22). Everything below is turned into picture coordinates with these.
PIC_X=0;      PIC_Y=0
MIXER_X=0;    MIXER_Y=$((24 + 40))
CONTROL_X=786; CONTROL_Y=22

W=1000; H=600               # picture size
PAGE_M=1000; PAGE_X=786     # page widths of the two layouts
FRAME_BOTTOM=467            # the page's labels and boxes start below this

STRIPS=8
STRIP_PITCH=94

# panel  name          x    y   w   h    (panel coordinates; strip rows are
#                                          those of strip 1)
TABLE='
strip  knob           27   71  53  32
strip  knobpush       28  102  50  21
strip  select         76  216  33  34
strip  mute           76  260  33  34
strip  solo           76  305  33  34
strip  record         80  350  26  26
strip  fadertouch     38  311  29  33
strip  fader          38  253  29  59
strip  l_knob         27   47  51  24
strip  l_knobpush     28  118  51  24
strip  l_select       68  246  49  15
strip  l_mute         68  290  49  15
strip  l_solo         68  335  49  15
strip  l_record       68  375  49  15
strip  l_fadertouch   29  350  49  15
strip  l_fader        29  229  49  15
strip  l_caption      63  152  28  15
ctl    mastertouch     4  353  29  33
ctl    mastersel      42  258  33  34
ctl    mastermute     42  302  33  34
ctl    mastersolo     42  347  33  34
ctl    masterfader     4  295  29  59
ctl    lock           46  392  26  26
ctl    key54          97   67  33  34
ctl    key55         147   67  33  34
ctl    key56          97  113  33  34
ctl    key57         147  113  33  34
ctl    key58          97  159  33  34
ctl    key59         147  159  33  34
ctl    key60          97  205  33  34
ctl    key61         147  205  33  34
ctl    key62          97  250  33  34
ctl    key63         147  250  33  34
ctl    zoom1         101  299  26  26
ctl    zoom2         150  299  26  26
ctl    jogleft        94  332  47  59
ctl    jogright      140  332  47  59
ctl    wide           96  390  88  33
ctl    l_mastertouch  -5  392  49  15
ctl    l_mastersel    34  288  49  15
ctl    l_mastermute   34  332  49  15
ctl    l_mastersolo   34  377  49  15
ctl    l_masterfader  -5  271  49  15
ctl    l_captionm     29  194  28  15
ctl    l_lock         34  417  49  15
ctl    l_key54        89   53  49  15
ctl    l_key55       139   53  49  15
ctl    l_key56        89   99  49  15
ctl    l_key57       139   99  49  15
ctl    l_key58        89  145  49  15
ctl    l_key59       139  145  49  15
ctl    l_key60        89  191  49  15
ctl    l_key61       139  191  49  15
ctl    l_key62        89  236  49  15
ctl    l_key63       139  236  49  15
'

# R[name] = "x y w h" in picture coordinates (strip rows: strip 1).
declare -A R
while read -r panel name x y w h; do
    [ -n "${panel:-}" ] || continue
    if [ "$panel" = strip ]; then
        R[$name]="$((x + MIXER_X - PIC_X)) $((y + MIXER_Y - PIC_Y)) $w $h"
    else
        R[$name]="$((x + CONTROL_X - PIC_X)) $((y + CONTROL_Y - PIC_Y)) $w $h"
    fi
done <<< "$TABLE"

# rect NAME [STRIP] -> sets x y w h (strip counted from 0)
rect() {
    read -r x y w h <<< "${R[$1]}"
    x=$((x + ${2:-0} * STRIP_PITCH))
}

#==============================================================================
# Palette

EDGE='#0a0b0d'
FACE_TOP='#34373d'; FACE_BOTTOM='#222429'
GROOVE_DARK='#131417'; GROOVE_LIGHT='#3e4148'
PLATE_TOP='#c9ccd1'; PLATE_BOTTOM='#a9adb4'
PRINT='#8d9199'
LED_SELECT='#4fb4ff'; LED_MUTE='#ff9b3a'; LED_SOLO='#6fdc55'

#==============================================================================
# Sprites: each control drawn once at its own size, then placed.

# key W H LED OUT: a rubber key cap, with a coloured lamp along its top edge
# when LED is not "none".
key() {
    local kw=$1 kh=$2 led=$3 out=$4
    local lamp=''
    if [ "$led" != none ]; then
        local lw=$((kw / 2)) lx=$(((kw - kw / 2) / 2))
        lamp="fill '$led' fill-opacity 0.9 roundrectangle $lx,4 $((lx + lw - 1)),6 1,1
              fill '#ffffff' fill-opacity 0.35 line $((lx + 2)),4 $((lx + lw - 3)),4"
    fi
    $IM -size "${kw}x${kh}" xc:none -draw "
        push defs
        push gradient 'cap' linear 0,0 0,$kh
        stop-color '#5a5d65' 0
        stop-color '#3a3c42' 0.55
        stop-color '#2a2c31' 1
        pop gradient
        pop defs
        push graphic-context
        fill '$EDGE' roundrectangle 0,0 $((kw - 1)),$((kh - 1)) 5,5
        fill 'url(#cap)' roundrectangle 1,1 $((kw - 2)),$((kh - 2)) 4,4
        fill none stroke '#8a8e96' stroke-opacity 0.55 stroke-width 1
        line 4,1.5 $((kw - 5)),1.5
        stroke '#000000' stroke-opacity 0.35
        line 4,$((kh - 2)).5 $((kw - 5)),$((kh - 2)).5
        pop graphic-context
        $lamp" "PNG32:$out"
}

# roundkey D TOP BOTTOM OUT: a round key of diameter D.
roundkey() {
    local d=$1 top=$2 bottom=$3 out=$4
    local c
    c=$(awk -v d="$d" 'BEGIN { print (d - 1) / 2 }')
    $IM -size "${d}x${d}" xc:none -draw "
        push defs
        push gradient 'cap' linear 0,0 0,$d
        stop-color '$top' 0
        stop-color '$bottom' 1
        pop gradient
        pop defs
        push graphic-context
        fill '$EDGE' circle $c,$c $c,0
        fill 'url(#cap)' circle $c,$c $c,1
        fill none stroke '#ffffff' stroke-opacity 0.3 stroke-width 1
        arc 2,2 $((d - 3)),$((d - 3)) 200,340
        pop graphic-context" "PNG32:$out"
}

# knob D OUT: an encoder with a knurled skirt, a shaded cap and a pointer.
knob() {
    local d=$1 out=$2 c knurl
    c=$(awk -v d="$d" 'BEGIN { print (d - 1) / 2 }')
    knurl=$(awk -v c="$c" -v r0="$(((d - 1) / 2 - 4))" -v r1="$(((d - 1) / 2 - 1))" 'BEGIN {
        for (i = 0; i < 36; ++i) {
            a = i * 3.14159265 * 2 / 36
            printf "line %.2f,%.2f %.2f,%.2f\n", c + r0 * sin(a), c - r0 * cos(a), c + r1 * sin(a), c - r1 * cos(a)
        } }')
    local capR=$(((d - 1) / 2 - 5))
    $IM -size "${d}x${d}" xc:none -draw "
        push defs
        push gradient 'skirt' linear 0,0 0,$d
        stop-color '#4a4d54' 0
        stop-color '#16171a' 1
        pop gradient
        push gradient 'cap' linear 0,4 0,$((d - 4))
        stop-color '#7b7f88' 0
        stop-color '#44474e' 0.5
        stop-color '#25272b' 1
        pop gradient
        pop defs
        push graphic-context
        fill '$EDGE' circle $c,$c $c,0
        fill 'url(#skirt)' circle $c,$c $c,1
        fill none stroke '#0b0c0e' stroke-opacity 0.8 stroke-width 1
        $knurl
        pop graphic-context
        push graphic-context
        fill '#0d0e10' circle $c,$c $c,$(awk -v c="$c" -v r="$capR" 'BEGIN { print c - r - 1 }')
        fill 'url(#cap)' circle $c,$c $c,$(awk -v c="$c" -v r="$capR" 'BEGIN { print c - r }')
        fill none stroke '#ffffff' stroke-opacity 0.25 stroke-width 1
        circle $c,$c $c,$(awk -v c="$c" -v r="$capR" 'BEGIN { print c - r + 3 }')
        stroke '#f2f3f5' stroke-opacity 0.95 stroke-width 2 stroke-linecap round
        line $c,$(awk -v c="$c" -v r="$capR" 'BEGIN { print c - r + 2 }') $c,$(awk -v c="$c" 'BEGIN { print c - 5 }')
        pop graphic-context" "PNG32:$out"
    # a soft light from the upper left over the cap
    $IM "$out" \( -size "${d}x${d}" radial-gradient:'#ffffff-#000000' -roll -4-5 \
        -evaluate multiply 0.35 \) -compose screen -composite \
        \( "$out" -alpha extract \) -compose copy_opacity -composite "PNG32:$out"
}

# fadercap W H OUT: a brushed-metal fader cap with its index line.
fadercap() {
    local fw=$1 fh=$2 out=$3 mid=$(($2 / 2))
    $IM -size "${fw}x${fh}" xc:none -draw "
        push defs
        push gradient 'cap' linear 0,0 0,$fh
        stop-color '#e1e3e7' 0
        stop-color '#a9adb4' 0.45
        stop-color '#8c9098' 0.55
        stop-color '#5d6169' 1
        pop gradient
        pop defs
        push graphic-context
        fill '$EDGE' roundrectangle 0,0 $((fw - 1)),$((fh - 1)) 3,3
        fill 'url(#cap)' roundrectangle 1,1 $((fw - 2)),$((fh - 2)) 2,2
        fill none stroke-width 1
        stroke '#3a3c41' stroke-opacity 0.55
        line 3,$((mid - 8)).5 $((fw - 4)),$((mid - 8)).5
        line 3,$((mid - 5)).5 $((fw - 4)),$((mid - 5)).5
        line 3,$((mid + 5)).5 $((fw - 4)),$((mid + 5)).5
        line 3,$((mid + 8)).5 $((fw - 4)),$((mid + 8)).5
        stroke '#ffffff' stroke-opacity 0.5
        line 3,$((mid - 7)).5 $((fw - 4)),$((mid - 7)).5
        line 3,$((mid + 6)).5 $((fw - 4)),$((mid + 6)).5
        stroke '#15161a' stroke-opacity 0.9 stroke-width 2
        line 2,$mid $((fw - 3)),$mid
        stroke '#ffffff' stroke-opacity 0.9 stroke-width 1
        line 2,$((mid - 1)).5 $((fw - 3)),$((mid - 1)).5
        pop graphic-context" "PNG32:$out"
}

# jogwheel D OUT: a rubber-rimmed wheel with a spun-metal centre and a
# finger dimple.
jogwheel() {
    local d=$1 out=$2 c rim rings
    c=$(awk -v d="$d" 'BEGIN { print (d - 1) / 2 }')
    local r=$(((d - 1) / 2))
    rim=$(awk -v c="$c" -v r0="$((r - 5))" -v r1="$((r - 1))" 'BEGIN {
        for (i = 0; i < 72; ++i) {
            a = i * 3.14159265 * 2 / 72
            printf "line %.2f,%.2f %.2f,%.2f\n", c + r0 * sin(a), c - r0 * cos(a), c + r1 * sin(a), c - r1 * cos(a)
        } }')
    rings=$(awk -v c="$c" -v r="$((r - 8))" 'BEGIN {
        for (k = 3; k < r; k += 2)
            printf "stroke-opacity %.2f circle %.2f,%.2f %.2f,%.2f\n", (k % 4 == 1 ? 0.07 : 0.12), c, c, c, c - k
        }')
    $IM -size "${d}x${d}" xc:none -draw "
        push defs
        push gradient 'rim' linear 0,0 0,$d
        stop-color '#3c3f45' 0
        stop-color '#121316' 1
        pop gradient
        push gradient 'disc' linear 0,8 0,$((d - 8))
        stop-color '#777b84' 0
        stop-color '#474a51' 0.5
        stop-color '#2c2e33' 1
        pop gradient
        push gradient 'dimple' linear 0,$((r - 16)) 0,$((r - 4))
        stop-color '#1c1d21' 0
        stop-color '#5d6068' 1
        pop gradient
        pop defs
        push graphic-context
        fill '$EDGE' circle $c,$c $c,0
        fill 'url(#rim)' circle $c,$c $c,1
        fill none stroke '#000000' stroke-opacity 0.6 stroke-width 1
        $rim
        pop graphic-context
        push graphic-context
        fill '#0c0d0f' circle $c,$c $c,6
        fill 'url(#disc)' circle $c,$c $c,7
        fill none stroke '#ffffff' stroke-width 1
        $rings
        pop graphic-context
        push graphic-context
        fill 'url(#dimple)' circle $((r + 10)),$((r - 10)) $((r + 10)),$((r - 16))
        fill none stroke '#ffffff' stroke-opacity 0.3 stroke-width 1
        arc $((r + 4)),$((r - 16)) $((r + 16)),$((r - 4)) 20,160
        pop graphic-context" "PNG32:$out"
}

#==============================================================================
# Drawing lists

# draw MVG / drawplate MVG: add to the face layer or to the legend layer,
# each piece in its own drawing context.
draw() {
    BASE+="push graphic-context
$1
pop graphic-context
"
}

drawplate() {
    PLATES+="push graphic-context
$1
pop graphic-context
"
}

# plate NAME [STRIP]: a light legend strip under a label, so that the label's
# dark text reads on the dark surface.
plate() {
    rect "$@"
    local iy=0
    [ "$h" -gt 20 ] && iy=3
    local x0=$((x + 3)) y0=$((y + iy)) x1=$((x + w - 4)) y1=$((y + h - 1 - iy))
    PLATE_NO=$((PLATE_NO + 1))
    drawplate "push defs
push gradient 'plate$PLATE_NO' linear 0,$y0 0,$y1
stop-color '$PLATE_TOP' 0
stop-color '$PLATE_BOTTOM' 1
pop gradient
pop defs
fill '$EDGE' fill-opacity 0.8 roundrectangle $((x0 - 1)),$((y0 - 1)) $((x1 + 1)),$((y1 + 1)) 3,3
fill 'url(#plate$PLATE_NO)' fill-opacity 1 roundrectangle $x0,$y0 $x1,$y1 2,2
fill none stroke '#ffffff' stroke-opacity 0.6 stroke-width 1 line $((x0 + 2)),$y0.5 $((x1 - 2)),$y0.5"
}

# place SPRITE X Y: puts a sprite on the controls layer.
place() {
    PLACES+=("$1" -geometry "+$2+$3" -composite)
}

# fader FADER TOUCH [STRIP]: the slot runs through the fader's travel and the
# touch area; the cap rests at the bottom, under the touch area.
fader() {
    rect "$1" "${3:-0}"
    local fx=$x fy=$y fw=$w
    rect "$2" "${3:-0}"
    local tx=$x ty=$y th=$h
    local c=$((fx + fw / 2)) top=$((fy + 2)) bottom=$((ty + th - 3))
    draw "fill '#050506' roundrectangle $((c - 2)),$top $((c + 2)),$bottom 2,2
fill none stroke '$GROOVE_LIGHT' stroke-width 1 line $((c - 1)),$((bottom + 1)).5 $((c + 1)),$((bottom + 1)).5
stroke none
"
    local t
    for ((t = top + 3; t < ty - 1; t += 7)); do
        local long=3
        [ $(((t - top - 3) % 21)) -eq 0 ] && long=6
        draw "fill none stroke '$PRINT' stroke-opacity 0.7 stroke-width 1 line $((c - 6 - long)),$t.5 $((c - 6)),$t.5 line $((c + 6)),$t.5 $((c + 6 + long)),$t.5
stroke none fill-opacity 1
"
    done
    place "$T/fadercap.png" $((tx + 2)) $((ty + 2))
}

# knobat KNOB PUSH [STRIP]: the encoder sits over both the turn and the push
# areas, with its ring of lamps around it.
knobat() {
    rect "$1" "${3:-0}"
    local kx=$x ky=$y kw=$w
    rect "$2" "${3:-0}"
    local bottom=$((y + h))
    local cx2=$((2 * kx + kw)) cy2=$((ky + bottom))     # doubled centre
    place "$T/knob.png" $(((cx2 - KNOB_D + 1) / 2)) $(((cy2 - KNOB_D + 1) / 2))
    draw "$(awk -v cx="$(awk -v v="$cx2" 'BEGIN { print v / 2 - 0.5 }')" \
                -v cy="$(awk -v v="$cy2" 'BEGIN { print v / 2 - 0.5 }')" \
                -v r="$((KNOB_D / 2 + 4))" 'BEGIN {
        for (i = 0; i < 11; ++i) {
            a = (-135 + i * 27) * 3.14159265 / 180
            x = cx + r * sin(a); y = cy - r * cos(a)
            printf "fill \x27#0b1114\x27 circle %.2f,%.2f %.2f,%.2f\n", x, y, x + 2, y
            printf "fill \x27#2f7fa8\x27 circle %.2f,%.2f %.2f,%.2f\n", x, y, x + 1.1, y
        } }')"
}

# keyat NAME SPRITE DY [STRIP]: a key cap inside a button, DY rows below its top.
keyat() {
    rect "$1" "${4:-0}"
    place "$2" $((x + 2)) $((y + $3))
}

# roundat NAME SPRITE [STRIP]: a round key centred in its button.
roundat() {
    rect "$1" "${3:-0}"
    local d
    d=$($IM "$2" -format '%w' info:)
    place "$2" $((x + (w - d) / 2)) $((y + (h - d) / 2))
}

#==============================================================================
# The sprites

# Sized from the buttons they sit under, a little inside each so that the
# button's outline frames the control.
rect knob; KNOB_D=$y
rect knobpush; KNOB_D=$((y + h - KNOB_D - 11))
knob "$KNOB_D" "$T/knob.png"
rect select     # strip keys: the label below overlaps the button's last rows
key $((w - 4)) $((h - 7)) "$LED_SELECT" "$T/key-select.png"
key $((w - 4)) $((h - 7)) "$LED_MUTE"   "$T/key-mute.png"
key $((w - 4)) $((h - 7)) "$LED_SOLO"   "$T/key-solo.png"
rect key54      # transport keys: the label above overlaps the first row
key $((w - 4)) $((h - 5)) none "$T/key.png"
rect wide
key $((w - 4)) $((h - 4)) none "$T/key-wide.png"
rect record
roundkey $((w - 4)) '#e2564c' '#7c1a14' "$T/key-record.png"
rect lock
roundkey $((w - 4)) '#6a6d75' '#2a2c31' "$T/key-round.png"
rect zoom1
roundkey $((w - 6)) '#6a6d75' '#2a2c31' "$T/key-zoom.png"
rect fadertouch
fadercap $((w - 4)) $((h - 4)) "$T/fadercap.png"
rect jogleft    # the wheel fills the height of the jog halves
jogwheel $((h + 2)) "$T/jog.png"

#==============================================================================
# One picture: surface WIDTH WITH_CONTROLS OUT

surface() {
    local page=$1 controls=$2 out=$3
    local bx0=6 by0=7 bx1=$((page - 7)) by1=$FRAME_BOTTOM
    [ "$page" = "$PAGE_M" ] && bx0=8 && bx1=$((page - 9))
    BASE=''; PLATES=''; PLACES=(); PLATE_NO=0

    # the body: a dark edge, a face lit from above, engraved section lines
    local chanRight=$((bx1 - 4))
    [ "$controls" = 1 ] && { rect l_mastersel; chanRight=$((x + w + 2)); }

    draw "fill '$EDGE' roundrectangle $bx0,$by0 $bx1,$by1 16,16
fill 'url(#face)' roundrectangle $((bx0 + 2)),$((by0 + 2)) $((bx1 - 2)),$((by1 - 2)) 14,14
fill none stroke '#ffffff' stroke-opacity 0.12 stroke-width 1
line $((bx0 + 14)),$((by0 + 2)).5 $((bx1 - 14)),$((by0 + 2)).5
stroke none fill-opacity 1
"
    # header line under the logos, above the knob labels
    rect l_knob
    local hy=$((y - 6))
    draw "fill none stroke-width 1 stroke '$GROOVE_DARK' line $((bx0 + 8)),$hy.5 $chanRight,$hy.5
stroke '$GROOVE_LIGHT' line $((bx0 + 8)),$((hy + 1)).5 $chanRight,$((hy + 1)).5
stroke none
"
    # strip dividers, halfway between one strip's right edge and the next
    # strip's left edge
    rect l_select; local sr=$((x + w))
    rect l_knob 1; local sl=$x
    local div=$(((sr + sl) / 2)) s
    local bottom=$((by1 - 6))
    for ((s = 0; s < STRIPS - 1; ++s)); do
        local dx=$((div + s * STRIP_PITCH))
        draw "fill none stroke-width 1 stroke '$GROOVE_DARK' line $dx.5,$((hy + 6)) $dx.5,$bottom
stroke '$GROOVE_LIGHT' line $((dx + 1)).5,$((hy + 6)) $((dx + 1)).5,$bottom
stroke none
"
    done

    if [ "$controls" = 1 ]; then
        # the master strip between the channels and the transport panel
        rect l_mastertouch; local ml=$x
        local md=$(((sr + 7 * STRIP_PITCH + ml) / 2))
        rect l_key54; local tl=$((x - 4))
        rect key54; local tt=$((y - 20))
        draw "fill none stroke-width 1 stroke '$GROOVE_DARK' line $md.5,$((hy + 6)) $md.5,$bottom
stroke '$GROOVE_LIGHT' line $((md + 1)).5,$((hy + 6)) $((md + 1)).5,$bottom
stroke none
fill '#000000' fill-opacity 0.22 roundrectangle $tl,$tt $((bx1 - 6)),$bottom 8,8
fill none stroke '$GROOVE_DARK' stroke-opacity 1 roundrectangle $tl.5,$tt.5 $((bx1 - 6)).5,$bottom.5 8,8
stroke '$GROOVE_LIGHT' line $((tl + 8)),$((bottom + 1)).5 $((bx1 - 14)),$((bottom + 1)).5
stroke none fill-opacity 1
"
    fi

    # screws in the corners
    local sx sy
    for sx in $((bx0 + 9)) $((bx1 - 9)); do
        for sy in $((by0 + 9)) $((by1 - 9)); do
            draw "fill '#0c0d0f' circle $sx,$sy $((sx + 4)),$sy
fill 'url(#screw)' circle $sx,$sy $((sx + 3)),$sy
fill none stroke '#1a1b1e' stroke-width 1.2 line $((sx - 2)),$((sy + 2)) $((sx + 2)),$((sy - 2))
stroke none
"
        done
    done

    # the channel strips
    for ((s = 0; s < STRIPS; ++s)); do
        knobat knob knobpush "$s"
        keyat select "$T/key-select.png" 2 "$s"
        keyat mute   "$T/key-mute.png"   2 "$s"
        keyat solo   "$T/key-solo.png"   2 "$s"
        roundat record "$T/key-record.png" "$s"
        fader fader fadertouch "$s"
        local l
        for l in l_knob l_knobpush l_select l_mute l_solo l_record l_fadertouch l_fader l_caption; do
            plate "$l" "$s"
        done
    done

    if [ "$controls" = 1 ]; then
        fader masterfader mastertouch
        keyat mastersel  "$T/key-select.png" 2
        keyat mastermute "$T/key-mute.png"   2
        keyat mastersolo "$T/key-solo.png"   2
        roundat lock "$T/key-round.png"
        local k
        for k in 54 55 56 57 58 59 60 61 62 63; do
            keyat "key$k" "$T/key.png" 3
            plate "l_key$k"
        done
        roundat zoom1 "$T/key-zoom.png"
        roundat zoom2 "$T/key-zoom.png"

        # the jog wheel fills the height of the two halves, centred between them
        rect jogleft; local jx=$x jy=$y jh=$h
        rect jogright; local jx2=$((x + w))
        local jd
        jd=$($IM "$T/jog.png" -format '%w' info:)
        local jcx2=$((jx + jx2)) jcy2=$((2 * jy + jh))
        local jcx jcy
        jcx=$(awk -v v="$jcx2" 'BEGIN { print v / 2 - 0.5 }')
        jcy=$(awk -v v="$jcy2" 'BEGIN { print v / 2 - 0.5 }')
        draw "fill '#050506' circle $jcx,$jcy $(awk -v c="$jcx" -v d="$jd" 'BEGIN { print c + d / 2 + 3 }'),$jcy
fill none stroke '$GROOVE_LIGHT' stroke-width 1 arc $(awk -v c="$jcx" -v c2="$jcy" -v d="$jd" 'BEGIN { r = d / 2 + 3.5; printf "%.1f,%.1f %.1f,%.1f", c - r, c2 - r, c + r, c2 + r }') 20,160
stroke none
"
        place "$T/jog.png" $(((jcx2 - jd + 1) / 2)) $(((jcy2 - jd + 1) / 2))
        keyat wide "$T/key-wide.png" 2

        for l in l_mastertouch l_mastersel l_mastermute l_mastersolo l_masterfader l_captionm l_lock; do
            plate "$l"
        done
    fi

    local defs="push defs
push gradient 'face' linear 0,$by0 0,$by1
stop-color '$FACE_TOP' 0
stop-color '#2b2e33' 0.25
stop-color '$FACE_BOTTOM' 1
pop gradient
push gradient 'screw' linear 0,0 0,$H
stop-color '#8e929a' 0
stop-color '#3b3e44' 1
pop gradient
pop defs
"
    $IM -size "${W}x${H}" xc:none -draw "$defs push graphic-context
$BASE
pop graphic-context" "PNG32:$T/base.png"

    # a faint brushed grain over the face only
    $IM "$T/base.png" \
        \( -size "1x${H}" xc:gray50 -seed 7 +noise Gaussian -channel G -separate +channel \
           +level 46%,54% -scale "${W}x${H}!" \) \
        -compose softlight -composite \
        \( "$T/base.png" -alpha extract \) -compose copy_opacity -composite "PNG32:$T/base.png"

    # printed captions on the face
    local text=()
    if [ "$controls" = 1 ]; then
        rect l_captionm
        text+=(-annotate "+$((x - 2))+$((y - 56))" 'MASTER')
    fi

    $IM "$T/base.png" -font "$FONT" -pointsize 8 -fill "$PRINT" -kerning 1 "${text[@]}" \
        -draw "$defs push graphic-context
$PLATES
pop graphic-context" "PNG32:$T/base.png"

    # controls, with their shadows cast down-right onto the face
    $IM -size "${W}x${H}" xc:none "${PLACES[@]}" "PNG32:$T/controls.png"
    $IM "$T/controls.png" -alpha extract -blur 0x2.2 -roll +1+3 -evaluate multiply 0.7 \
        "$T/shadow-alpha.png"
    $IM "$T/base.png" \
        \( -size "${W}x${H}" xc:black "$T/shadow-alpha.png" -compose copy_opacity -composite \) \
        -compose over -composite \
        "$T/controls.png" -compose over -composite \
        \( "$T/base.png" -alpha extract \) -compose copy_opacity -composite \
        "${KEEP_STILL[@]}" "PNG32:$out"
}

surface "$PAGE_M" 1 bg.png
surface "$PAGE_X" 0 bgex.png

#==============================================================================
# Product names: the name in brushed silver with the kind of unit beside it.

product() {
    local name=$1 what=$2 out=$3
    $IM -size 430x40 xc:none -font "$FONT_BOLD" -pointsize 27 -kerning 2 -fill white \
        -gravity west -annotate +4+0 "$name" "$T/name-mask.png"
    $IM -size 430x40 gradient:'#f4f5f7-#9ea2aa' \( "$T/name-mask.png" -alpha extract \) \
        -compose copy_opacity -composite "$T/name.png"
    $IM "$T/name.png" \( +clone -background black -shadow 70x1+1+1 \) +swap \
        -background none -layers merge +repage -crop 430x40+0+0 +repage "$T/name.png"
    local tw
    tw=$($IM "$T/name-mask.png" -trim -format '%[fx:page.x+w]' info:)
    $IM "$T/name.png" -font "$FONT" -pointsize 10 -kerning 2 -fill '#9aa0a8' \
        -gravity west -annotate "+$((tw + 16))+3" "$what" \
        "${KEEP_STILL[@]}" "PNG32:$out"
}

product 'TREVAN M' 'DAW CONTROL SURFACE' trv.png
product 'TREVAN X' 'CONTROL SURFACE EXTENDER' trx.png

# The maker's badge: a silver plate with the name engraved.
$IM -size 156x50 xc:none -draw "
    push defs
    push gradient 'badge' linear 0,0 0,50
    stop-color '#eef0f3' 0
    stop-color '#b9bdc4' 1
    pop gradient
    pop defs
    push graphic-context
    fill '#16171a' roundrectangle 0,0 155,49 9,9
    fill 'url(#badge)' roundrectangle 2,2 153,47 8,8
    pop graphic-context" \
    -font "$FONT_BOLD" -pointsize 30 -kerning 6 -gravity center \
    -fill '#ffffff' -annotate +1+2 'ZORV' -fill '#4b3d8f' -annotate +0+1 'ZORV' \
    -colors 32 "${KEEP_STILL[@]}" PNG8:ZorvLogo.png
