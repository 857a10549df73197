#!/usr/bin/env bash
# Gives the Wine prefix in WINEPREFIX (made already) real fonts for the Windows font names Orvasel's
# windows ask for, so that its pictures show what Windows shows, and sets the display's dots per
# inch (96: 100 %, 144: 150 %, 192: 200 %).
#   WINEPREFIX=<prefix> scripts/wine-fonts.sh [dots per inch]
# The fonts come from the system through fontconfig: Liberation Sans and Liberation Mono have the
# metrics of Arial and Courier New; DejaVu Sans stands in for Tahoma, which Wine gives the dialog
# fonts "MS Shell Dlg" and "MS Shell Dlg 2". Wine's own fonts (Debian's fonts-wine) are not found
# by Debian's Wine 8.
# Run the program with WINEQT_QPA_PLATFORM=windows:fontengine=freetype: Qt's own font engine on
# Windows draws each letter with GDI into a bitmap the size of its ink, placing the pen left of the
# bitmap for a letter that starts right of it, and Wine 8 then draws nothing ("Infos" shows
# "nfos"); Windows draws the ink.
set -euo pipefail
dpi=${1:-96}
reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
cat >"$reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"MS Sans Serif"="Liberation Sans"
"Microsoft Sans Serif"="Liberation Sans"
"Arial"="Liberation Sans"
"Courier New"="Liberation Mono"
"Times New Roman"="Liberation Serif"
"Tahoma"="DejaVu Sans"
"Segoe UI"="DejaVu Sans"

[HKEY_CURRENT_USER\\Control Panel\\Desktop]
"LogPixels"=dword:$(printf '%08x' "$dpi")
REG
wine regedit /S "$reg" 2>/dev/null
wineserver -w
