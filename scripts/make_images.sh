#!/bin/sh
# Draws the program's pictures with ImageMagick 6 (convert):
#   orvanel-{16,32,48,64,128,256}.png  program icon
#   comentario-16.png                  picture of the comment button
#   about.png                          58x62 picture of the About box
#   banner.gif                         468x60 two-frame banner
# Usage: scripts/make_images.sh [output-folder]   (default: src/ui/images)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out=${1:-"$(dirname "$here")/src/ui/images"}
mkdir -p "$out"
command -v convert >/dev/null || { echo "make_images: ImageMagick's convert not found" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# png OUT ARGS...: no timestamps or comments, so a rerun gives the same bytes.
png() { dst=$1; shift; convert "$@" -depth 8 -strip -define png:exclude-chunks=date,time "$dst"; }

# band CX CY R WIDTH FROM TO: a thick arc, as a filled polygon (angles in
# degrees, clockwise from 3 o'clock). Stroked arcs are no good here: convert
# closes open paths and polylines with a chord.
band() {
    awk -v cx="$1" -v cy="$2" -v r="$3" -v w="$4" -v a0="$5" -v a1="$6" 'BEGIN {
        n = 24; pi = atan2(0, -1); printf "polygon"
        for (i = 0; i <= n; i++) {
            a = (a0 + (a1 - a0) * i / n) * pi / 180
            printf " %.2f,%.2f", cx + (r + w / 2) * cos(a), cy + (r + w / 2) * sin(a)
        }
        for (i = n; i >= 0; i--) {
            a = (a0 + (a1 - a0) * i / n) * pi / 180
            printf " %.2f,%.2f", cx + (r - w / 2) * cos(a), cy + (r - w / 2) * sin(a)
        }
        printf "\n"
    }'
}

BOLD=DejaVu-Sans-Bold
SANS=DejaVu-Sans

# ---------------------------------------------------------------------------
# Icon: an open log book with an antenna mast sending waves, on a blue tile.
# Drawn in a 64-unit square; the tile is kept apart so the About picture can
# reuse the rest on a taller tile.

ICON_TILE="fill '#1d4f91' stroke '#123566' stroke-width 1.5
roundrectangle 2.5,2.5 61.5,61.5 11,11"

ICON_BODY="
stroke none fill '#ffc83d'
$(band 32 17 7 3.2 140 220)
$(band 32 17 7 3.2 -40 40)
$(band 32 17 13 3.2 145 215)
$(band 32 17 13 3.2 -35 35)
fill none stroke '#e3e8ef' stroke-width 2.4
line 27,42 32,17
line 32,17 37,42
line 28.4,35 35.6,35
line 29.7,28.5 34.3,28.5
line 30.8,22.5 33.2,22.5
stroke none fill '#7a4a1e'
polygon 5,40 32,44 59,40 59,56 32,60 5,56
fill '#fdf6e3'
polygon 8,38.5 31,42 31,57 8,53.5
polygon 33,42 56,38.5 56,53.5 33,57
stroke '#7f9cc4' stroke-width 1.4
line 11.5,43.5 27.5,46
line 11.5,47.5 27.5,50
line 36.5,46 52.5,43.5
line 36.5,50 52.5,47.5
stroke none fill '#e63c2e'
circle 32,17 32,20.4"

# Drawn 8 times larger and boxed down: smoother edges than plain antialiasing.
convert -size 512x512 xc:none \
    -draw "affine 8 0 0 8 0 0 $ICON_TILE $ICON_BODY" "$tmp/icon-512.png"
for s in 32 48 64 128 256; do
    png "$out/orvanel-$s.png" "$tmp/icon-512.png" -filter box -resize "${s}x${s}"
done

# At 16 pixels a scaled drawing turns to mush; this one is set pixel by pixel.
png "$out/orvanel-16.png" xpm:- <<'EOF'
/* XPM */
static char *orvanel16[] = {
"16 16 9 1",
". c None",
"D c #123566",
"B c #1d4f91",
"Y c #ffc83d",
"R c #e63c2e",
"G c #e3e8ef",
"W c #fdf6e3",
"L c #7f9cc4",
"K c #7a4a1e",
"..DDDDDDDDDDDD..",
".DBBBBBBBBBBBBD.",
"DBBYBBBBBBBBYBBD",
"DBYBBYBBBBYBBYBD",
"DBYBYBBRRBBYBYBD",
"DBYBYBBRRBBYBYBD",
"DBYBBYBGGBYBBYBD",
"DBBYBBBGGBBBYBBD",
"DBBBBBBGGBBBBBBD",
"DBWWWWBGGBWWWWBD",
"DBWLLLWKKWLLLWBD",
"DBWWWWWKKWWWWWBD",
"DBWLLLWKKWLLLWBD",
"DBKWWWWKKWWWWKBD",
".DBKKKKKKKKKKBD.",
"..DDDDDDDDDDDD.."
};
EOF

# About picture, 58x62: the icon's drawing on a tile of that shape.
convert -size 464x496 xc:none \
    -draw "affine 8 0 0 8 0 0
           fill '#1d4f91' stroke '#123566' stroke-width 1.5
           roundrectangle 1.5,1.5 56.5,60.5 10,10
           push graphic-context affine 0.875 0 0 0.875 1 3.5 $ICON_BODY pop graphic-context" \
    "$tmp/about-big.png"
png "$out/about.png" "$tmp/about-big.png" -filter box -resize 58x62

# ---------------------------------------------------------------------------
# Comment button: a speech bubble with lines of text.
png "$out/comentario-16.png" xpm:- <<'EOF'
/* XPM */
static char *comentario16[] = {
"16 16 4 1",
". c None",
"O c #2b4a78",
"W c #ffffff",
"L c #5b7fb5",
"................",
"..OOOOOOOOOOOO..",
".OWWWWWWWWWWWWO.",
"OWWWWWWWWWWWWWWO",
"OWWLLLLLLLLLLWWO",
"OWWWWWWWWWWWWWWO",
"OWWLLLLLLLLLLWWO",
"OWWWWWWWWWWWWWWO",
"OWWLLLLLLLWWWWWO",
"OWWWWWWWWWWWWWWO",
".OWWWWWWWWWWWWO.",
"..OOWWWOOOOOOO..",
"...OWWO.........",
"...OWO..........",
"...OO...........",
"................"
};
EOF

# ---------------------------------------------------------------------------
# Banner, 468x60, two frames of four seconds each. It promotes the program's
# own community; the main window shows the first frame only.

convert -size 60x468 gradient:'#2f6fbf-#123566' -rotate 90 "$tmp/banner-bg.png"
BANNER_EDGE="fill none stroke '#0b2447' stroke-width 1 rectangle 0.5,0.5 467.5,59.5"

# "Visítenos" tag at the right of both frames.
BANNER_TAG="fill '#ffc83d' stroke '#b8860b' stroke-width 1
roundrectangle 372.5,18.5 455.5,41.5 6,6"

# Frame 1: antenna mast with waves at the left.
convert "$tmp/banner-bg.png" \
    -draw "$BANNER_EDGE
           fill '#ffc83d'
           $(band 29 15 6.5 2.5 140 220)
           $(band 29 15 6.5 2.5 -40 40)
           $(band 29 15 12.5 2.5 145 215)
           $(band 29 15 12.5 2.5 -35 35)
           fill none stroke '#e3e8ef' stroke-width 2
           line 21,54 29,15
           line 29,15 37,54
           line 22.8,45 35.2,45
           line 24.5,36 33.5,36
           line 26.2,27 31.8,27
           line 27.6,20.5 30.4,20.5
           stroke none fill '#e63c2e' circle 29,15 29,18.5
           $BANNER_TAG" \
    -font "$BOLD" -pointsize 21 -fill white  -annotate +62+27 'Apoye a Orvanel' \
    -font "$SANS" -pointsize 14 -fill '#ffe9a8' -annotate +62+48 'radioaficionados hispanohablantes' \
    -font "$BOLD" -pointsize 12 -fill '#123566' -gravity NorthWest -annotate +381+23 'Visítenos »' \
    "$tmp/frame1.png"

# Frame 2: an open log book at the left.
convert "$tmp/banner-bg.png" \
    -draw "$BANNER_EDGE
           fill '#7a4a1e' polygon 6,20 29,24 52,20 52,46 29,50 6,46
           fill '#fdf6e3'
           polygon 8,17.5 28,21 28,47 8,43.5
           polygon 30,21 50,17.5 50,43.5 30,47
           stroke '#7f9cc4' stroke-width 1.3
           line 11,24 25,26.5
           line 11,29 25,31.5
           line 11,34 25,36.5
           line 33,26.5 47,24
           line 33,31.5 47,29
           line 33,36.5 47,34
           $BANNER_TAG" \
    -font "$BOLD" -pointsize 17 -fill white  -annotate +62+27 'Únase a los amigos de Orvanel' \
    -font "$SANS" -pointsize 14 -fill '#ffe9a8' -annotate +62+48 'Comparta su libro de guardia. ¡73!' \
    -font "$BOLD" -pointsize 12 -fill '#123566' -gravity NorthWest -annotate +381+23 'Visítenos »' \
    "$tmp/frame2.png"

convert -delay 400 -loop 0 "$tmp/frame1.png" "$tmp/frame2.png" \
    -strip "$out/banner.gif"

echo "make_images: pictures written to $out"
