#!/usr/bin/env bash
# Rebuilds the fuzzers' seed corpus under fuzz/corpus/: real ExifTool reports of two photos
# in German, English, Japanese and Russian, a few small hand-made reports for the cases real
# photos rarely show (bytes that are not UTF-8, mis-encoded text, CR LF, no final line end),
# number records for the placement and message-box arithmetic, and the keeper's messages.
#
#   fuzz/make-corpus.sh
#
# Needs exiftool and ImageMagick's convert (scripts/install-deps.sh installs both). The seeds
# are committed; run this only to renew them, after a change of ExifTool's output.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
reports="$here/corpus/report"
numbers="$here/corpus/placement"
frames="$here/corpus/keeper"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT INT TERM

rm -rf "$reports" "$numbers" "$frames"
mkdir -p "$reports" "$numbers" "$frames"

# The project's sample photo: every group the program jumps to and every camera panel line.
cp "$root/samples/lumoskop-sample.jpg" "$tmp/sample.jpg"

# A second photo whose texts are Japanese, Russian and already mis-encoded ("MÃ¼ller"), with
# a lens, a 35 mm scale factor and maker and model in two groups.
convert -size 64x48 xc:'#6d7f99' -strip "$tmp/second.jpg"
exiftool -q -overwrite_original -charset iptc=UTF8 \
    -Make=Canon '-Model=Canon EOS 5D Mark IV' '-LensModel=EF24-105mm f/4L IS USM' \
    -FocalLength=24 -FocalLengthIn35mmFormat=24 -ExposureTime=1/250 -FNumber=4 -ISO=400 \
    '-Artist=山田 太郎 / Иван Петров' '-ImageDescription=MÃ¼ller &amp; Söhne &lt;Test&gt;' \
    '-XMP-dc:Creator=Иван Петров' '-XMP-dc:Title=富士山と湖' -XMP-tiff:Make=Canon \
    '-XMP-tiff:Model=Canon EOS 5D Mark IV' '-IPTC:Keywords=東京' -IPTC:CodedCharacterSet=UTF8 \
    "$tmp/second.jpg"

for photo in sample second; do
    for lang in de en ja ru; do
        exiftool -lang "$lang" -a -u -g1 -w! txt "$tmp/$photo.jpg" >/dev/null
        # The folder line names this run's temporary folder; nothing else depends on the run.
        grep -v -F "$tmp" \
            "$tmp/$photo.txt" > "$reports/$photo-$lang.txt" || true
    done
done

# Small seeds, one trait each.
printf -- '---- ExifTool ----\r\nExifTool Version Number         : 12.57\r\n' > "$reports/crlf.txt"
printf -- '---- IFD0 ----\nMake                            : Canon' > "$reports/no-final-newline.txt"
printf -- 'Artist                          : J\xfcrgen Wei\xdf \x80 \x9d\n' > "$reports/windows-1252.txt"
printf -- 'Kameramodell                    : \xc3\x83\xc2\xbc \xc3\xa2\xe2\x82\xac\xc5\x93 &#8364; &lt;\n' \
    > "$reports/mis-encoded.txt"
printf -- 'Make : A\nCamera Model Name : B\n---- XMP-xmp ----\nCamera Model Name : C\n---- XMP-dc ----\nScale Factor To 35 mm Equivalent : 1.5\nFocal Length In 35mm Format : 36 mm\n' \
    > "$reports/camera-order.txt"
printf -- '\n\n:\n::\n---- Composite ----\n' > "$reports/bare-lines.txt"
# Many model rows without a maker between: the camera label once grew with every one.
{ printf -- 'Make : Canon\n'; for i in $(seq 200); do printf -- 'Camera Model Name : R%d\n' "$i"; done; } \
    > "$reports/repeated-models.txt"

# Number records for the arithmetic target: its reader takes the bytes as little-endian
# 32-bit integers, so the extremes come in whole.
rec() { python3 -c 'import struct,sys; sys.stdout.buffer.write(struct.pack("<%di" % (len(sys.argv) - 1), *map(int, sys.argv[1:])))' "$@"; }
# Moved window w h; reference L T W H; offset; work area L T W H; mode; a point to pull
# inside; message-box style, line count and default button; the rest is text.
rec 400 300 100 100 800 600 10 0 0 1920 1040 4 -50 2000 5 7 1 > "$numbers/centre.bin"
rec 2000 300 1100 100 800 600 10 0 0 1920 1040 0 100 100 64 10 3 > "$numbers/wider-than-area.bin"
rec 300 200 -1900 -100 800 600 10 -1920 0 1920 1080 2 -3000 0 -7 20 0 > "$numbers/left-monitor.bin"
rec 2147483647 2147483647 2147483647 2147483647 2147483647 2147483647 2147483647 -2147483648 -2147483648 2147483647 2147483647 3 2147483647 2147483647 2147483647 -2147483648 2 \
    > "$numbers/extremes-high.bin"
rec -2147483648 -2147483648 -2147483648 -2147483648 -2147483648 -2147483648 -2147483648 2147483647 2147483647 -2147483648 -2147483648 1 -2147483648 -2147483648 -2147483648 2147483647 4 \
    > "$numbers/extremes-low.bin"
{ rec 400 300 0 0 800 600 10 0 0 1920 1040 7 0 0 16 3 0; printf 'CeNtEr\r\nZeile 2\r16711680'; } > "$numbers/mode-text.bin"

# The keeper's frames (src/exiftool/KeeperMessage.h): requests of every kind, each kind of
# answer, and two requests back to back, as a program's buffer may hold them.
python3 - "$frames" <<'PY'
import struct, sys
out = sys.argv[1]
def text(s): b = s.encode(); return struct.pack(">I", len(b)) + b
def frame(body): return struct.pack(">I", len(body)) + body
def request(kind, photo, lang):
    return frame(b"LKQ\x01" + text("2026.2.118") + text("/usr/lib/lumoskop/lumoskop-keeper")
                 + struct.pack(">qq", 3273728, 1765281600123456789) + text("/usr/bin/exiftool")
                 + struct.pack(">IB", 600, kind) + text(photo) + text(lang))
def answer(kind, rest=b""): return frame(b"LKA\x01" + bytes([kind]) + rest)
seeds = {
    "report.bin": request(1, "/home/jürgen/Bilder/IMG_0001.JPG", "de"),
    "listing.bin": request(2, "/media/karte/DCIM/100CANON/IMG_0002.CR2", ""),
    "position.bin": request(3, "/home/a/Mom's \"best\" shot.jpg", ""),
    "previews.bin": request(4, "/home/a/写真.heic", "zh-cn"),
    "two-requests.bin": request(1, "/a.jpg", "ja") + request(3, "/b.jpg", ""),
    "printed.bin": answer(0, text("Warning: [minor] bad MakerNotes") + text("---- ExifTool ----\nExifTool Version Number : 12.57\n")),
    "not-me.bin": answer(1, b"\x01"),
    "refused.bin": answer(2),
}
for name, data in seeds.items():
    open(f"{out}/{name}", "wb").write(data)
PY

du -sh "$here/corpus"
