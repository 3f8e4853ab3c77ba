#!/usr/bin/env bash
# Draws the program's own pictures with ImageMagick and packs them as .ico files: the window icon
# (48 x 48, one 256-colour and one 32-bit image) and one 32 x 32 icon per game. Letters, shapes
# and colours only. The results are committed, so the build needs neither ImageMagick nor this.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
font=DejaVu-Sans-Condensed-Bold

# badge NAME SHAPE COLOUR TEXT POINTSIZE: a coloured shape with white letters and a dark edge.
badge() {
    local name=$1 shape=$2 colour=$3 text=$4 points=$5 draw
    case $shape in
    circle) draw="circle 15.5,15.5 15.5,1" ;;
    square) draw="roundrectangle 1,1 30,30 7,7" ;;
    diamond) draw="polygon 16,0 31,16 16,31 0,16" ;;
    shield) draw="polygon 2,2 29,2 29,16 16,30 2,16" ;;
    hexagon) draw="polygon 8,1 23,1 31,16 23,30 8,30 0,16" ;;
    esac
    convert -size 32x32 xc:none -fill "$colour" -stroke '#202020' -strokewidth 1 -draw "$draw" \
        -stroke none -fill white -font "$font" -pointsize "$points" -gravity center \
        -annotate +0+1 "$text" "png32:$work/$name.png"
    convert "$work/$name.png" "rgba:$work/$name.rgba"
    python3 make_ico.py "icons/$name.ico" "32:32:$work/$name.rgba"
}

mkdir -p icons
badge hl circle '#e07b00' HL 14
badge cs square '#2f6fb0' CS 14
badge dod shield '#6b7a2a' DoD 10
badge tfc square '#b03a2e' TF 14
badge jedi circle '#1d2a6b' JK 14
badge q3 diamond '#8b1010' Q3 12
badge moh shield '#7a5c2e' MH 12
badge unreal hexagon '#5b2d8e' UT 13
badge ef2 hexagon '#127a7a' EF 13
badge bf square '#9a7b3c' BF 14
badge cod shield '#2e5a2e' CoD 10

# The window icon: a white Q on a night-blue tile, with the red tick of an installed game.
convert -size 48x48 xc:none -fill '#1b2a4a' -stroke '#0b1020' -strokewidth 1 \
    -draw "roundrectangle 1,1 46,46 9,9" -stroke none -fill white -font "$font" -pointsize 34 \
    -gravity center -annotate -4+0 Q \
    -fill '#ff0000' -draw "polygon 25,30 30,36 44,18 46,21 30,42 22,33" \
    "png32:$work/quellix.png"
convert "$work/quellix.png" "rgba:$work/quellix32.rgba"
convert "$work/quellix.png" +dither -colors 255 "rgba:$work/quellix8.rgba"
python3 make_ico.py quellix.ico "48:8:$work/quellix8.rgba" "48:32:$work/quellix32.rgba"
echo "icons written"
