#!/bin/sh
# Draws the project's own sample photo, a small landscape, and writes a camera's worth of
# metadata into it with ExifTool, so that every group the program jumps to (IFD0, ExifIFD,
# XMP, IPTC, Composite) and every line of the camera panel has something to show.
#
#   scripts/make-sample.sh [output.jpg]      (default: samples/lumoskop-sample.jpg)
#
# Needs ImageMagick's convert and exiftool (scripts/install-deps.sh installs both).
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-"$here/samples/lumoskop-sample.jpg"}

for tool in convert exiftool; do
    command -v "$tool" >/dev/null 2>&1 || { echo "make-sample.sh: $tool is missing" >&2; exit 1; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT INT TERM

# Evening sky, sun, two mountain ridges, a lake with the sun's reflection, a meadow and a
# small tree. No timestamps or profiles go into the file (-strip), so the same script gives
# the same picture.
convert -size 640x427 gradient:'#f6c67a-#4a78b5' -rotate 180 \
    -fill '#fff3c4' -draw 'circle 470,150 470,182' \
    -fill '#6d7f99' -draw 'polygon 0,250 90,150 170,215 260,120 360,230 440,170 540,240 640,160 640,300 0,300' \
    -fill '#f4f6fa' -draw 'polygon 232,148 260,120 288,150 272,144 260,156 247,145' \
    -fill '#4e6b52' -draw 'polygon 0,290 120,230 230,275 330,225 450,280 560,240 640,270 640,320 0,320' \
    -fill '#3d6f9c' -draw 'rectangle 0,300 640,350' \
    -fill '#f7dc95' -draw 'rectangle 455,306 485,309' -draw 'rectangle 462,316 478,318' -draw 'rectangle 466,326 474,328' \
    -fill '#5d8a3a' -draw 'polygon 0,345 160,335 330,350 480,338 640,348 640,427 0,427' \
    -fill '#4a2f1b' -draw 'rectangle 108,330 116,372' \
    -fill '#2f5d2c' -draw 'polygon 82,338 112,262 142,338' \
    -strip -quality 88 "$tmp/sample.jpg"

exiftool -q -overwrite_original -charset iptc=UTF8 \
    -Make=FUJIFILM -Model=X-T4 \
    -LensMake=FUJIFILM '-LensModel=XF16-55mmF2.8 R LM WR' \
    -FocalLength=35 -FocalLengthIn35mmFormat=53 \
    -ExposureTime=1/500 -FNumber=8 -ISO=160 -ExposureCompensation=-0.33 \
    '-ExposureProgram#=3' '-MeteringMode#=5' '-WhiteBalance#=0' '-ExposureMode#=0' \
    '-DateTimeOriginal=2023:05:01 19:42:10' '-CreateDate=2023:05:01 19:42:10' '-ModifyDate=2023:05:02 08:15:00' \
    '-Artist=Jürgen Weiß-Müller' '-Copyright=Lumoskop sample, free to use' \
    '-ImageDescription=Abendstimmung am Bergsee' -Software=Lumoskop \
    '-XMP-dc:Title=Abendstimmung am Bergsee' '-XMP-dc:Creator=Jürgen Weiß-Müller' \
    -XMP-xmp:CreatorTool=Lumoskop -XMP-xmp:Rating=4 \
    -IPTC:CodedCharacterSet=UTF8 '-IPTC:Keywords=Berge' '-IPTC:Keywords=See' '-IPTC:Keywords=Abend' \
    '-IPTC:City=Garmisch-Partenkirchen' '-IPTC:By-line=Jürgen Weiß-Müller' \
    "$tmp/sample.jpg"

mkdir -p "$(dirname "$out")"
mv "$tmp/sample.jpg" "$out"
echo "$out"
