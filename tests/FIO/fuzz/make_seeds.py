#!/usr/bin/python3
"""Writes the seed corpora of the image reader fuzzers (committed under
corpus/<target>/; run again only to change them).

Usage: make_seeds.py CORPUS_DIR
"""
import io
import os
import struct
import sys

import numpy as np
import tifffile

root = sys.argv[1]


def save(target, name, data):
    os.makedirs(os.path.join(root, target), exist_ok=True)
    with open(os.path.join(root, target, name), 'wb') as f:
        f.write(data)


def tiff(width, height, bits, high=False, fmt=None, rps=None, reverse=False, extra=()):
    """A TIFF written from the layout: strips, then arrays, then the directory."""
    e = '>' if high else '<'
    row = (width * bits + 7) // 8
    rng = np.random.default_rng(width * 1000 + height * 10 + bits)
    rows = [bytes(rng.integers(0, 256, row, dtype=np.uint8)) for _ in range(height)]
    rps = rps or height
    strips = [(s, b''.join(rows[s * rps:(s + 1) * rps])) for s in range((height + rps - 1) // rps)]
    out = bytearray((b'MM' if high else b'II') + struct.pack(e + 'HI', 42, 0))
    offsets, counts = [0] * len(strips), [0] * len(strips)
    for s, data in (reversed(strips) if reverse else strips):
        offsets[s], counts[s] = len(out), len(data)
        out += data
    entries = [(256, 4, [width]), (257, 4, [height]), (258, 3, [bits]), (259, 3, [1]),
               (273, 4, offsets), (278, 4, [rps]), (279, 4, counts)]
    if fmt:
        entries.append((339, 3, [fmt]))
    entries = sorted({t: (t, ty, v) for t, ty, v in entries + list(extra)}.values())
    where = {}
    for tag, ty, values in entries:
        if len(values) > 1:
            where[tag] = len(out)
            out += struct.pack(e + '%dI' % len(values), *values)
    directory = len(out)
    out += struct.pack(e + 'H', len(entries))
    for tag, ty, values in entries:
        out += struct.pack(e + 'HHI', tag, ty, len(values))
        if len(values) > 1:
            out += struct.pack(e + 'I', where[tag])
        elif ty == 3:
            out += struct.pack(e + 'HH', values[0], 0)
        else:
            out += struct.pack(e + 'I', values[0])
    out += struct.pack(e + 'I', 0)
    out[4:8] = struct.pack(e + 'I', directory)
    return bytes(out)


# TIFF: every layout read, the refusals, arrays smaller than the images.
seeds = {
    'ii16': tiff(5, 4, 16), 'mm16_rows1': tiff(40, 20, 16, True, rps=1),
    'ii16_reversed': tiff(7, 9, 16, rps=2, reverse=True), 'mm8': tiff(36, 5, 8, True, rps=3),
    'ii8_signed': tiff(4, 4, 8, fmt=2), 'ii12_odd': tiff(5, 3, 12), 'mm12': tiff(6, 4, 12, True, rps=3),
    'ii32u': tiff(3, 3, 32, fmt=1), 'mm32s': tiff(3, 5, 32, True, fmt=2, rps=2),
    'ii32f': tiff(4, 2, 32, fmt=3), 'lzw': tiff(4, 4, 16, extra=[(259, 3, [5])]),
    'tiles': tiff(4, 4, 16, extra=[(322, 3, [16]), (323, 3, [16]), (324, 4, [8])]),
    'rgb': tiff(4, 4, 8, extra=[(277, 3, [3])]), 'planar': tiff(4, 4, 8, extra=[(284, 3, [2])]),
    'bits4': tiff(4, 4, 4), 'real16': tiff(4, 4, 16, fmt=3),
}
for name, data in seeds.items():
    save('tiff', name, data)
b = io.BytesIO()
tifffile.imwrite(b, np.arange(35 * 18, dtype=np.uint16).reshape(18, 35), rowsperstrip=4)
save('tiff', 'tifffile_u16', b.getvalue())
b = io.BytesIO()
tifffile.imwrite(b, np.linspace(-1, 1, 60, dtype=np.float32).reshape(6, 10), byteorder='>')
save('tiff', 'tifffile_f32_mm', b.getvalue())

# Keyword headers: types, byte orders, sections, refusals.
def merin(header, width, height, dtype):
    return header.encode() + np.arange(width * height).astype(dtype).tobytes()


save('merin', 'short', merin('{\nDim_1 = 5 ;\nDim_2 = 4 ;\nDataType = UnsignedShort ;\n}', 5, 4, '<u2'))
save('merin', 'long_high', merin('{ HEADERID = EH:000001:000000:000000 ; DIM_1 = 40 ; DIM_2 = 3 ; '
                                 'DATATYPE = SignedInteger ; BYTEORDER = HighByteFirst ; }', 40, 3, '>i4'))
save('merin', 'float', merin('{ DIM_1 = 3 ; DIM_2 = 20 ; DATATYPE = FloatValue ; '
                             'ByteOrder = LowByteFirst ; Title = sample one ; '
                             'Compression = None ; }', 3, 20, '<f4'))
save('merin', 'two_sections', merin('{ IMAGE = 2 ; SIZE = 8 ; DIM_1 = 2 ; DIM_2 = 2 ; '
                                    'DATATYPE = SignedShort ; }', 2, 2, '<i2') +
     merin('{ IMAGE = 1 ; DIM_1 = 2 ; DIM_2 = 2 ; DATATYPE = UnsignedLong ; }', 2, 2, '<u4'))
save('merin', 'comment', merin('{ DIM_1 = 2 ! pixels\n ; DIM_2 = 2 ; DATATYPE = Real ; }', 2, 2, '<f4'))
save('merin', 'refused', b'{ DIM_1 = 2 ; DIM_2 = 2 ; DATATYPE = DoubleValue ; COMPRESSION = Packed ; }')

# Raw binary: the length of the header text, the text, the data.
def binary(info, data):
    info = info.encode()
    return bytes([len(info)]) + info + data


for t, dtype in (('INT8', 'i1'), ('UINT16', '>u2'), ('INT32', '<i4'), ('REAL32', '>f4'),
                 ('REAL64', '<f8'), ('UINT32', '>u4')):
    order = 'HIGH_BYTE_FIRST' if dtype.startswith('>') else 'LOW_BYTE_FIRST'
    save('binary', t.lower(), binary('WIDTH = 6\nHEIGHT = 20\nSKIP = 3\nTYPE = %s\nBYTE_ORDER = %s\n'
                                     'ROWS = TOP_FIRST\n' % (t, order),
                                     b'hdr' + np.arange(120).astype(dtype).tobytes()))
save('binary', 'wide', binary('WIDTH=40\nHEIGHT=2\nTYPE=UINT8\nOVERLOAD=200\nX_PIXEL_SIZE=1E-6\n',
                              bytes(range(80))))
save('binary', 'bad_line', binary('WIDTH = 4\nHEIGHT 3\nTYPE = UINT16\n', bytes(24)))

# The spectroscopy camera format: a 4100-byte header.
for code, dtype in ((0, '<f4'), (1, '<i4'), (2, '<i2'), (3, '<u2'), (5, '<f8'), (6, 'u1'), (8, '<u4')):
    header = bytearray(4100)
    struct.pack_into('<H', header, 42, 36)
    struct.pack_into('<h', header, 108, code)
    struct.pack_into('<H', header, 656, 3)
    struct.pack_into('<i', header, 1446, 1)
    save('princeton', 'type%d' % code, bytes(header) + np.arange(108).astype(dtype).tobytes())

# The C4880 camera format: "IM", a 64-byte header and a comment.
for kind, dtype in ((0, 'u1'), (2, '<u2'), (1, 'u1')):
    comment = b'exposure 10 ms'
    header = b'IM' + struct.pack('<6H', len(comment), 35, 4, 0, 0, kind) + bytes(50)
    save('hamamatsu', 'type%d' % kind, header + comment + np.arange(140).astype(dtype).tobytes())

# Image plates: the newer layout (byte-order word, overflow records, packed
# image) and the older one (rows or packed image), in both byte orders.
def plate(newer, e, width, height, over, version=1, packed=True):
    s = np.random.default_rng(width * height).integers(-32768, 32767, width * height)
    s[list(over)] = -1  # 65535
    stream, n = 0, 0  # blocks of one 32-bit difference from the signed prediction
    for i in range(len(s)):
        t = s[i - 1] + s[i - width + 1] + s[i - width] + s[i - width - 1] + 2
        p = 0 if i == 0 else s[i - 1] if i <= width else int(abs(t) // 4 * np.sign(t))
        stream |= ((8 * version - 1) << 3 | (int(s[i] - p) & 0xFFFFFFFF) << (5 + version)) << n
        n += 37 + version
    records = b''.join(struct.pack(e + 'ii', a + (not newer), 70000 + a) for a in over)
    records += bytes(-len(records) % (64 if newer else 2 * width))
    if newer:
        text = b''.join(t.ljust(64) for t in (b'mar research', b'PIXEL LENGTH 100', b'END OF HEADER'))
        head = (struct.pack(e + '8i', 1234, width, len(over), 1, 0, width * height, 150, 150)
                + bytes(96) + text).ljust(4096, b' ')
    else:
        head = (struct.pack(e + '6i36x5f', width, height, 2 * width, height + 1, len(over), 1,
                            0.15, 0.15, 0, 0, 1.0)).ljust(2 * width, b' ')
    if not packed:
        return head + s.astype(e + 'i2').tobytes() + records
    ident = '\nCCP4 packed image%s, X: %04d, Y: %04d\n' % (' V2' * (version == 2), width, height)
    return head + records + ident.encode() + stream.to_bytes((n + 7) // 8, 'little')


for name, args in (('newer_le', (True, '<', 5, 3, [0, 7, 14])),
                   ('newer_be_v2', (True, '>', 8, 6, [3, 47], 2)),
                   ('newer_wide', (True, '<', 40, 20, [1, 700])),
                   ('older_rows_le', (False, '<', 62, 3, [0, 185], 1, False)),
                   ('older_rows_be', (False, '>', 63, 2, [5], 1, False)),
                   ('older_pck_be', (False, '>', 64, 4, [0, 1, 255]))):
    save('mar', name, plate(*args))


# Files that hold more than the image input, and the newer variants of the
# camera formats (struct only).
def tiff_pages(width, height, pages):
    """An 8-bit TIFF whose directory is repeated: one image a page."""
    out = bytearray(b'II' + struct.pack('<HI', 42, 0))
    data = len(out)
    out += bytes((x * 7 + y * 3) & 255 for y in range(height) for x in range(width))
    entries = [(256, 4, width), (257, 4, height), (258, 3, 8), (259, 3, 1), (262, 3, 0),
               (273, 4, data), (278, 4, height), (279, 4, width * height)]
    out[4:8] = struct.pack('<I', len(out))
    for page in range(pages):
        out += struct.pack('<H', len(entries))
        for tag, ty, value in entries:
            out += struct.pack('<HHI', tag, ty, 1)
            out += struct.pack('<HH', value, 0) if ty == 3 else struct.pack('<I', value)
        out += struct.pack('<I', len(out) + 4 if page + 1 < pages else 0)
    return bytes(out)


save('tiff', 'ii8_pages3_white_zero', tiff_pages(6, 5, 3))
header = bytearray(4100)
struct.pack_into('<i', header, 1446, 2)
struct.pack_into('<f', header, 1992, 3.0)
struct.pack_into('<Q', header, 678, 4100 + 4 * 6 * 3 * 2)
footer = (b'<SpeFormat><DataFormat><DataBlock type="Frame" count="2" '
          b'pixelFormat="MonochromeUnsigned32" size="72" stride="72"><DataBlock type="Region" '
          b'width="6" height="3" size="72" stride="72"/></DataBlock></DataFormat></SpeFormat>')
save('princeton', 'version3_footer',
     bytes(header) + struct.pack('<36I', *range(36)) + footer)
comment = b'[Camera],bits=32'
save('hamamatsu', 'type3', b'IM' + struct.pack('<6H', len(comment), 35, 4, 0, 0, 3) + bytes(50) +
     comment + struct.pack('<140I', *range(140)))


# Image plates, scattering, PMIS: a header, then the pixels (for the two-file
# formats after the length of the header text, as for binary).
for name, (bits, w, h, rows, end) in {'u8': (8, 6, 4, 4, '\n'), 'crlf': (16, 5, 3, 3, '\r\n'),
                                      'u16_wide': (16, 40, 20, 20, '\n'), 'short': (8, 6, 5, 4, '\n')}.items():
    inf = end.join(['BAS_IMAGE_FILE', 'plate', '20X40', '100', '100', str(bits), str(w), str(h), '4000', '4', ''])
    save('bas2000', name, binary(inf, np.arange(w * rows).astype('u1' if bits <= 8 else '>u2').tobytes()))
for name, (w, h, frames, low) in {'le': (6, 4, 1, 1), 'be_frames': (5, 2, 3, 0), 'wide': (40, 20, 1, 1)}.items():
    header = 'title\n\n' + '%8d' * 10 % (w, h, frames, low, 0, 0, 0, 0, 0, 0) + '\nZ98001.I1D\n'
    save('bsl', name, binary(header, np.linspace(-2, 3, w * h * frames).astype('<f4' if low else '>f4').tobytes()))
for name, (e, w, h, images) in {'le': ('<', 6, 4, 1), 'be_two': ('>', 5, 3, 2), 'wide': ('<', 40, 20, 1)}.items():
    header = b'PMIS' + struct.pack(e + '8H', 172, 20, 0, 0, w, h, 1, 1) + b'name'.ljust(140, b'\0')
    save('photometrics', name, header + struct.pack(e + 'ii2H', 0, 0, 1, images) +
         np.arange(w * h * images).astype(e + 'u2').tobytes())
save('dexoram', 'columns', b'# x y\n0.5 10\n1.5,-2e3\n! end\n')
