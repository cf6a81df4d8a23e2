# Reads the pixels of a PNG that Cairo wrote (8-bit RGB or RGBA, not
# interlaced) and answers probes, one line each; several probes separated by
# "+" share one decoding: python3 pngpixels.py FILE COMMAND... [+ COMMAND...]
#   size                      -> "W H"
#   dark X0 X1 Y              -> how many pixels of row Y, columns X0..X1, are dark
#   light X0 X1 Y0 Y1         -> how many pixels of the box are light
#   colour R G B T X0 X1 Y0 Y1 -> how many pixels of the box are within T of
#                                the colour R G B in every channel
# Dark means grey below 128 composited over white.
import struct, sys, zlib
def read_png(path):
    data = open(path, 'rb').read()
    assert data[:8] == b'\x89PNG\r\n\x1a\n'
    pos, idat, w, h, ct = 8, b'', 0, 0, 0
    while pos < len(data):
        n, kind = struct.unpack('>I4s', data[pos:pos+8])
        body = data[pos+8:pos+8+n]
        if kind == b'IHDR':
            w, h, depth, ct = struct.unpack('>IIBB', body[:10])
        elif kind == b'IDAT':
            idat += body
        pos += 12 + n
    bpp = {2: 3, 6: 4}[ct]
    raw = zlib.decompress(idat)
    stride = w * bpp
    rows, prev = [], bytearray(stride)
    # The "up" filter adds the row above byte by byte; done on whole rows as
    # big integers (the low seven bits of each byte added, the top bit xored)
    # it costs no Python loop over the bytes.
    low7 = int.from_bytes(b'\x7f' * stride, 'big')
    top1 = int.from_bytes(b'\x80' * stride, 'big')
    for y in range(h):
        f = raw[y*(stride+1)]
        line = bytearray(raw[y*(stride+1)+1:(y+1)*(stride+1)])
        if f == 2:
            u, v = int.from_bytes(line, 'big'), int.from_bytes(prev, 'big')
            line = bytearray((((u & low7) + (v & low7)) ^ ((u ^ v) & top1)).to_bytes(stride, 'big'))
        for i in range(stride if f not in (0, 2) else 0):
            a = line[i-bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i-bpp] if i >= bpp else 0
            if f == 1: line[i] = (line[i] + a) & 255
            elif f == 2: line[i] = (line[i] + b) & 255
            elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c; pa, pb, pc = abs(p-a), abs(p-b), abs(p-c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line); prev = line
    def rgb(x, y):
        px = rows[y][x*bpp:x*bpp+3]
        if bpp == 3:
            return px
        alpha = rows[y][x*bpp+3] if bpp == 4 else 255
        return [c * alpha // 255 + (255 - alpha) for c in px]
    def gray(x, y):
        px = rows[y][x*bpp:x*bpp+3]
        alpha = rows[y][x*bpp+3] if bpp == 4 else 255
        return (sum(px) // 3) * alpha // 255 + (255 - alpha)
    return w, h, gray, rgb
w, h, g, rgb = read_png(sys.argv[1])
def probe(cmd, args):
    if cmd == 'size':
        print(w, h)
    elif cmd == 'dark':
        x0, x1, y = args
        print(sum(1 for x in range(x0, x1 + 1) if g(x, y) < 128))
    elif cmd == 'light':
        x0, x1, y0, y1 = args
        print(sum(1 for y in range(y0, y1 + 1) for x in range(x0, x1 + 1) if g(x, y) >= 128))
    elif cmd == 'colour':
        (r0, g0, b0), t, (x0, x1, y0, y1) = args[:3], args[3], args[4:]
        n = 0
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                r, g1, b = rgb(x, y)
                n += abs(r - r0) <= t and abs(g1 - g0) <= t and abs(b - b0) <= t
        print(n)
    else:
        sys.exit('unknown probe ' + cmd)
words = sys.argv[2:]
while words:
    n = words.index('+') if '+' in words else len(words)
    probe(words[0], [int(v) for v in words[1:n]])
    words = words[n + 1:]
