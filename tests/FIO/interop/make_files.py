#!/usr/bin/python3
"""Writes TIFF files with real writers (tifffile, ImageMagick's convert,
libtiff's tiffcp) into a directory, with what the reader must make of each.

Usage: make_files.py DIR

DIR/cases.txt gets one line per file: NAME, then "read" or "refused", then
(for refused files) a text the warning must contain, tab separated. For a
file to be read, NAME.ref holds tifffile's reading of it as little-endian
32-bit reals, row 1 (the first stored row) first, the first index fastest.
"""
import os
import subprocess
import sys

import numpy as np
import tifffile

out = sys.argv[1]
cases = []


def path(name):
    return os.path.join(out, name)


def expect_read(name):
    image = tifffile.imread(path(name))
    assert image.ndim == 2, name
    image.astype('<f4').tofile(path(name + '.ref'))
    cases.append((name, 'read', ''))


def expect_refused(name, fragment):
    cases.append((name, 'refused', fragment))


def run(*command):
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)


rng = np.random.default_rng(20260601)
height, width = 37, 29  # rows not a multiple of the strip heights
images = {
    'u8': rng.integers(0, 256, (height, width), dtype=np.uint8),
    'u16': rng.integers(0, 65536, (height, width), dtype=np.uint16),
    'i16': rng.integers(-32768, 32768, (height, width), dtype=np.int16),
    'u32': rng.integers(0, 2**32, (height, width), dtype=np.uint32),
    'i32': rng.integers(-2**31, 2**31, (height, width), dtype=np.int32),
    'f32': (rng.standard_normal((height, width)) * 1e4).astype(np.float32),
}
images['u16'][0, 0], images['u16'][-1, -1] = 0, 65535

# tifffile: both byte orders, one row per strip, eight rows, one strip.
for kind in ('u8', 'u16'):
    for order in ('<', '>'):
        for rows in (1, 8, height):
            name = 'tifffile_%s_%s_rows%d.tif' % (kind, 'II' if order == '<' else 'MM', rows)
            tifffile.imwrite(path(name), images[kind], byteorder=order, rowsperstrip=rows)
            expect_read(name)
for kind in ('i16', 'u32', 'i32', 'f32'):
    for order in ('<', '>'):
        name = 'tifffile_%s_%s.tif' % (kind, 'II' if order == '<' else 'MM')
        tifffile.imwrite(path(name), images[kind], byteorder=order, rowsperstrip=5)
        expect_read(name)

# Strips moved out of order: a tifffile file whose strips are copied to the
# end of the file last first, the strip offsets changed to match.
name = 'tifffile_u16_strips_reversed.tif'
tifffile.imwrite(path(name), images['u16'], byteorder='>', rowsperstrip=3)
with tifffile.TiffFile(path(name)) as tif:
    page = tif.pages[0]
    offsets, counts = list(page.dataoffsets), list(page.databytecounts)
    tag = page.tags['StripOffsets']
    where, kind = tag.valueoffset, tag.dtype
data = bytearray(open(path(name), 'rb').read())
new_offsets = [0] * len(offsets)
for s in reversed(range(len(offsets))):
    new_offsets[s] = len(data)
    data += data[offsets[s]:offsets[s] + counts[s]]
size = 2 if kind == 3 else 4
for s, offset in enumerate(new_offsets):
    data[where + size * s:where + size * (s + 1)] = offset.to_bytes(size, 'big')
open(path(name), 'wb').write(bytes(data))
expect_read(name)

# ImageMagick from a 16-bit and an 8-bit grey map, both byte orders.
def pgm(name, image, maxval):
    with open(path(name), 'wb') as f:
        f.write(b'P5 %d %d %d\n' % (image.shape[1], image.shape[0], maxval))
        f.write(image.astype('>u2' if maxval > 255 else 'u1').tobytes())


pgm('grey16.pgm', images['u16'], 65535)
pgm('grey8.pgm', images['u8'], 255)
for source, depth in (('grey16.pgm', 16), ('grey8.pgm', 8)):
    for endian in ('LSB', 'MSB'):
        for rows in (1, 8):
            name = 'convert_%d_%s_rows%d.tif' % (depth, endian, rows)
            run('convert', path(source), '-depth', str(depth), '-endian', endian,
                '-compress', 'None', '-define', 'tiff:rows-per-strip=%d' % rows, path(name))
            expect_read(name)
run('convert', path('grey16.pgm'), '-depth', '16', '-compress', 'LZW', path('convert_lzw.tif'))
expect_refused('convert_lzw.tif', 'compressed')
run('convert', path('grey16.pgm'), '-depth', '16', '-compress', 'Zip', path('convert_zip.tif'))
expect_refused('convert_zip.tif', 'compressed')

# tiffcp: rewritten in either byte order with its own strips, compressed,
# tiled.
source = path('tifffile_u16_II_rows%d.tif' % height)
for order in ('-B', '-L'):
    for rows in ('1', '8', str(height)):
        name = 'tiffcp_%s_rows%s.tif' % (order[1], rows)
        run('tiffcp', '-c', 'none', order, '-r', rows, source, path(name))
        expect_read(name)
run('tiffcp', '-c', 'none', '-B', '-r', '4', path('tifffile_f32_II.tif'), path('tiffcp_f32_B.tif'))
expect_read('tiffcp_f32_B.tif')
run('tiffcp', '-c', 'lzw', source, path('tiffcp_lzw.tif'))
expect_refused('tiffcp_lzw.tif', 'compressed')
run('tiffcp', '-c', 'zip', source, path('tiffcp_deflate.tif'))
expect_refused('tiffcp_deflate.tif', 'compressed')
run('tiffcp', '-c', 'none', '-t', '-w', '16', '-l', '16', source, path('tiffcp_tiled.tif'))
expect_refused('tiffcp_tiled.tif', 'stored in tiles')
tifffile.imwrite(path('tifffile_rgb.tif'), np.zeros((8, 8, 3), np.uint8), photometric='rgb')
expect_refused('tifffile_rgb.tif', 'samples per pixel (3)')
tifffile.imwrite(path('tifffile_planar.tif'), np.zeros((3, 8, 8), np.uint8), photometric='rgb',
                 planarconfig='separate')
expect_refused('tifffile_planar.tif', 'planar configuration (2)')
tifffile.imwrite(path('tifffile_f64.tif'), np.zeros((4, 4), np.float64))
expect_refused('tifffile_f64.tif', 'bits per pixel (64)')

with open(path('cases.txt'), 'w') as f:
    for case in cases:
        f.write('\t'.join(case) + '\n')
