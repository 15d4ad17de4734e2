#!/usr/bin/env bash
# Regenerates the skin's images (PNG, drawn with ImageMagick, no text: the
# layouts draw their labels). Run after changing a colour or a size here.
set -euo pipefail
cd "$(dirname "$0")/../skin"
c() { convert "$@"; }

# Login background: night-blue gradient, a gold rule under the title area,
# a panel on the left for the link buttons and a frame where the login page sits.
c -size 1400x880 gradient:'#1b2f4a'-'#0a121d' \
  -fill '#00000055' -draw 'roundrectangle 40,190 440,840 14,14' \
  -fill none -stroke '#c9a24d' -strokewidth 2 -draw 'line 60,150 420,150' \
  -stroke '#c9a24d88' -strokewidth 3 -draw 'rectangle 476,210 1389,873' \
  -stroke none -fill '#c9a24d' -draw 'polygon 240,160 250,170 240,180 230,170' \
  PNG32:login_bg.png

# A wide button in three states.
button() { # name top bottom border
  c -size 320x56 xc:none -fill "gradient:$2-$3" \
    \( -size 320x56 gradient:"$2"-"$3" \) -compose copy -composite \
    -alpha set \( -size 320x56 xc:none -fill white -draw 'roundrectangle 0,0 319,55 10,10' \) \
    -compose dst-in -composite \
    -compose over -fill none -stroke "$4" -strokewidth 2 -draw 'roundrectangle 1,1 318,54 10,10' \
    PNG32:"$1"
}
button btn_normal.png '#2d4c73' '#1c314d' '#c9a24d'
button btn_hot.png '#3b6496' '#25405f' '#f0cf7a'
button btn_pushed.png '#162740' '#22395a' '#a8852f'

# Square caption buttons (32x32): close, minimise, maximise, restore.
caption_button() { # name background stroke drawing
  c -size 32x32 xc:"$2" -fill none -stroke "$3" -strokewidth 2 -draw "$4" PNG32:"$1"
}
for state in normal hot pushed; do
  case $state in
    normal) bg='#00000000'; fg='#d8d8d8' ;;
    hot) bg='#ffffff30'; fg='#ffffff' ;;
    pushed) bg='#00000060'; fg='#c0c0c0' ;;
  esac
  caption_button close_$state.png "$( [ $state = hot ] && echo '#c0392bd0' || echo $bg )" "$fg" 'line 10,10 22,22 line 22,10 10,22'
  caption_button min_$state.png "$bg" "$fg" 'line 9,21 23,21'
  caption_button max_$state.png "$bg" "$fg" 'rectangle 9,9 23,23'
  caption_button restore_$state.png "$bg" "$fg" 'rectangle 8,12 20,24 line 12,8 24,8 line 24,8 24,20'
done

# Game title bar: a vertical gradient stretched across the width.
c -size 8x32 gradient:'#26405f'-'#132234' -fill '#c9a24d' -draw 'line 0,31 7,31' PNG32:top_bg.png
# Small title-bar buttons (text drawn by the layout), three states.
c -size 72x24 xc:none -fill '#ffffff10' -stroke '#c9a24d80' -draw 'roundrectangle 0,0 71,23 5,5' PNG32:tbtn_normal.png
c -size 72x24 xc:none -fill '#ffffff30' -stroke '#f0cf7a' -draw 'roundrectangle 0,0 71,23 5,5' PNG32:tbtn_hot.png
c -size 72x24 xc:none -fill '#00000050' -stroke '#a8852f' -draw 'roundrectangle 0,0 71,23 5,5' PNG32:tbtn_pushed.png
# The full-screen bar.
c -size 210x34 xc:none -fill '#132234e0' -stroke '#c9a24d' -draw 'roundrectangle 0,-8 209,33 8,8' PNG32:fsbar_bg.png
