"""png_colour.py PNG X Y: prints the colour of one pixel of an 8-bit RGB or RGBA
PNG as #RRGGBB, for the tests that check pictures as rsvg-convert renders them."""
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
x, y = int(sys.argv[2]), int(sys.argv[3])
width, height, depth, kind = struct.unpack(">IIBB", data[16:26])
assert depth == 8 and kind in (2, 6), (depth, kind)
step = 4 if kind == 6 else 3
idat, at = b"", 8
while at < len(data):
    length, name = struct.unpack(">I4s", data[at:at + 8])
    if name == b"IDAT":
        idat += data[at + 8:at + 8 + length]
    at += 12 + length
raw, stride, rows, previous = zlib.decompress(idat), width * step, [], bytearray(width * step)
for row in range(y + 1):
    line, kind_of_filter = bytearray(raw[row * (stride + 1) + 1:(row + 1) * (stride + 1)]), raw[row * (stride + 1)]
    for i in range(stride):
        a = line[i - step] if i >= step else 0
        b = previous[i]
        c = previous[i - step] if i >= step else 0
        p = a + b - c
        predictor = [0, a, b, (a + b) // 2,
                     a if abs(p - a) <= abs(p - b) and abs(p - a) <= abs(p - c) else b if abs(p - b) <= abs(p - c) else c]
        line[i] = (line[i] + predictor[kind_of_filter]) & 255
    previous = line
print("#%02X%02X%02X" % tuple(previous[x * step:x * step + 3]))
