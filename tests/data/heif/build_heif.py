#!/usr/bin/env python3
"""build_heif.py: HEIF files as phones write them, assembled from pictures that Debian's
heif-enc codes one by one (heif-enc itself writes neither grids nor turned pictures).

  build_heif.py grid UPRIGHT.png OUT.heic [TILE]
      An iPhone-like photo: the picture stored turned a quarter to the left as a grid of
      TILE x TILE tiles (default 512) whose last row and column run past it, an irot box
      that turns it back, an Exif block saying the same turn (Orientation 6), and a
      thumbnail of 320 pixels (96 for pictures under 960) stored and turned the same way,
      in negative colours (too small to stand in for the picture in a list thumbnail).
  build_heif.py thumbnail PICTURE.png THUMBNAIL.png OUT.heic
      A picture with the other picture as its embedded thumbnail.
  build_heif.py test-files FOLDER
      The test files of tests/data/heif and tests/data/hostile (needs ImageMagick).

Only the standard library; heif-enc (libheif-examples) and ImageMagick's convert do the
pixel work.
"""
import os
import struct
import subprocess
import sys
import tempfile


def box(kind, payload):
    return struct.pack('>I', 8 + len(payload)) + kind + payload


def full_box(kind, version, flags, payload):
    return box(kind, struct.pack('>I', version << 24 | flags) + payload)


def children(data, start, end):
    """(type, body start, body end) of the boxes in data[start:end]."""
    out = []
    while start + 8 <= end:
        size, kind = struct.unpack('>I4s', data[start:start + 8])
        header = 8
        if size == 1:
            size = struct.unpack('>Q', data[start + 8:start + 16])[0]
            header = 16
        elif size == 0:
            size = end - start
        out.append((kind, start + header, start + size))
        start += size
    return out


def child(data, start, end, kind, skip=0):
    for k, s, e in children(data, start, end):
        if k == kind:
            return s + skip, e
    raise ValueError('no %s box' % kind.decode())


def coded_picture(path):
    """The first picture of a file heif-enc wrote: its type, its properties' boxes (the
    decoder's configuration, ispe and the like) and its coded bytes."""
    data = open(path, 'rb').read()
    ms, me = child(data, 0, len(data), b'meta', 4)
    primary = struct.unpack('>H', data[child(data, ms, me, b'pitm', 4)[0]:][:2])[0]
    ps, pe = child(data, ms, me, b'iprp')
    cs, ce = child(data, ps, pe, b'ipco')
    properties = [data[s - 8:e] for _, s, e in children(data, cs, ce)]
    as_, ae = child(data, ps, pe, b'ipma')
    version, flags = data[as_], data[as_ + 3]
    at, count = as_ + 8, struct.unpack('>I', data[as_ + 4:as_ + 8])[0]
    wanted = []
    for _ in range(count):
        item = struct.unpack('>H' if version < 1 else '>I', data[at:at + (2 if version < 1 else 4)])[0]
        at += 2 if version < 1 else 4
        n = data[at]
        at += 1
        for _ in range(n):
            index = struct.unpack('>H', data[at:at + 2])[0] & 0x7FFF if flags & 1 else data[at] & 0x7F
            at += 2 if flags & 1 else 1
            if item == primary:
                wanted.append(properties[index - 1])
    ls, _ = child(data, ms, me, b'iloc')
    version = data[ls]
    sizes = struct.unpack('>H', data[ls + 4:ls + 6])[0]
    offset_size, length_size, base_size = sizes >> 12, sizes >> 8 & 15, sizes >> 4 & 15
    at, count = ls + 8, struct.unpack('>H', data[ls + 6:ls + 8])[0]
    number = lambda at, n: int.from_bytes(data[at:at + n], 'big')
    for _ in range(count):
        item = number(at, 2)
        at += 2 + (2 if version >= 1 else 0) + 2
        base = number(at, base_size)
        at += base_size
        extents = number(at, 2)
        at += 2
        coded = b''
        for _ in range(extents):
            offset, length = number(at, offset_size), number(at + offset_size, length_size)
            at += offset_size + length_size
            coded += data[base + offset:base + offset + length]
        if item == primary:
            kinds = [p[4:8] for p in wanted]
            if b'hvcC' not in kinds and b'av1C' not in kinds:
                raise ValueError('%s holds no single coded picture (sides not multiples of 8?)' % path)
            return b'hvc1' if b'hvcC' in kinds else b'av01', wanted, coded
    raise ValueError('no primary picture in ' + path)


def ispe(width, height):
    return full_box(b'ispe', 0, 0, struct.pack('>II', width, height))


def irot(quarters_left):
    return box(b'irot', bytes([quarters_left & 3]))


def exif_orientation(value):
    """An Exif item: the offset of the TIFF header, then a TIFF with Orientation alone."""
    tiff = b'MM\0*' + struct.pack('>IH', 8, 1) + struct.pack('>HHIHH', 0x0112, 3, 1, value, 0) + b'\0' * 4
    return struct.pack('>I', 6) + b'Exif\0\0' + tiff


def write_heif(path, brand, items, primary, references, idat=b''):
    """items: (id, type, [property boxes], bytes, in_idat); references: (type, from, [to])."""
    properties, associations = [], []
    for item_id, _, props, _, _ in items:
        indices = []
        for p in props:
            if p not in properties:
                properties.append(p)
            indices.append(properties.index(p) + 1)
        if indices:
            associations.append(struct.pack('>HB', item_id, len(indices)) + bytes(indices))
    ipma = full_box(b'ipma', 0, 0, struct.pack('>I', len(associations)) + b''.join(associations))
    iprp = box(b'iprp', box(b'ipco', b''.join(properties)) + ipma)
    # Items no reference points at are pictures of their own; tiles are hidden.
    parts = [x for t, _, to in references if t == b'dimg' for x in to]
    infe = b''.join(full_box(b'infe', 2, int(i in parts), struct.pack('>HH4s', i, 0, t) + b'\0')
                    for i, t, _, _, _ in items)
    iinf = full_box(b'iinf', 0, 0, struct.pack('>H', len(items)) + infe)
    iref = full_box(b'iref', 0, 0, b''.join(
        box(t, struct.pack('>HH', f, len(to)) + b''.join(struct.pack('>H', x) for x in to))
        for t, f, to in references))
    hdlr = full_box(b'hdlr', 0, 0, b'\0' * 4 + b'pict' + b'\0' * 12 + b'\0')
    pitm = full_box(b'pitm', 0, 0, struct.pack('>H', primary))
    ftyp = box(b'ftyp', brand + b'\0\0\0\0' + b'mif1' + brand + b'miaf')

    def meta(mdat_start):
        entries, at = [], mdat_start
        for item_id, _, _, data, in_idat in items:
            method, offset = (1, data[0]) if in_idat else (0, at)
            length = data[1] if in_idat else len(data)
            if not in_idat:
                at += len(data)
            entries.append(struct.pack('>HHHHII', item_id, method, 0, 1, offset, length))
        iloc = full_box(b'iloc', 1, 0, struct.pack('>BBH', 0x44, 0x00, len(items)) + b''.join(entries))
        parts = hdlr + pitm + iloc + iinf + iref + iprp + (box(b'idat', idat) if idat else b'')
        return full_box(b'meta', 0, 0, parts)

    start = len(ftyp) + len(meta(0)) + 8
    coded = b''.join(data for _, _, _, data, in_idat in items if not in_idat)
    with open(path, 'wb') as out:
        out.write(ftyp + meta(start) + box(b'mdat', coded))


def heif_enc(png, out, *options):
    subprocess.run(['heif-enc', '-q', '90', *options, '-o', out, png], check=True,
                   stdout=subprocess.DEVNULL)
    return coded_picture(out)


def convert(*args):
    """ImageMagick; a .png written as 8-bit RGB, since heif-enc mixes up the channels of
    palette PNGs."""
    args = list(args)
    if args[-1].endswith('.png') and ':' not in args[-1]:
        args[-1] = 'PNG24:' + args[-1]
    subprocess.run(['convert', *args], check=True)


def size_of(png):
    return [int(v) for v in subprocess.check_output(['identify', '-format', '%w %h', png]).split()]


def grid(upright_png, out, tile=512):
    with tempfile.TemporaryDirectory() as work:
        stored = os.path.join(work, 'stored.png')
        convert(upright_png, '-rotate', '-90', stored)  # stored turned a quarter left
        width, height = size_of(stored)
        columns, rows = -(-width // tile), -(-height // tile)
        padded = os.path.join(work, 'padded.png')
        convert(stored, '-background', 'gray', '-extent', '%dx%d' % (columns * tile, rows * tile), padded)
        items, tiles = [], []
        for r in range(rows):
            for c in range(columns):
                png = os.path.join(work, 't%d_%d.png' % (r, c))
                convert(padded, '-crop', '%dx%d+%d+%d' % (tile, tile, c * tile, r * tile), '+repage', png)
                kind, props, coded = heif_enc(png, png + '.heic')
                tiles.append(len(items) + 1)
                items.append((len(items) + 1, kind, props, coded, False))
        # The thumbnail in another colour: a list thumbnail made from it would show.
        thumb = os.path.join(work, 'thumb.png')
        side = 320 if max(width, height) >= 960 else 96  # sides of multiples of 8
        convert(stored, '-resize', '%dx%d' % (side, side), '-negate', thumb)
        kind, props, coded = heif_enc(thumb, thumb + '.heic')
        grid_id, exif_id, thumb_id = 1000, 1001, 1002
        turn = irot(3)  # three quarters left: upright again
        grid_data = struct.pack('>BBBBHH', 0, 0, rows - 1, columns - 1, width, height)
        pixi = [p for p in props if p[4:8] == b'pixi']  # the bits a channel, as the tiles'
        items += [(grid_id, b'grid', [ispe(width, height), turn] + pixi, (0, len(grid_data)), True),
                  (exif_id, b'Exif', [], exif_orientation(6), False),
                  (thumb_id, kind, [p for p in props] + [turn], coded, False)]
        references = [(b'dimg', grid_id, tiles), (b'thmb', thumb_id, [grid_id]), (b'cdsc', exif_id, [grid_id])]
        write_heif(out, b'heic', items, grid_id, references, idat=grid_data)


def with_thumbnail(picture_png, thumbnail_png, out):
    with tempfile.TemporaryDirectory() as work:
        kind, props, coded = heif_enc(picture_png, os.path.join(work, 'p.heic'))
        tkind, tprops, tcoded = heif_enc(thumbnail_png, os.path.join(work, 't.heic'))
        items = [(1, kind, props, coded, False), (2, tkind, tprops, tcoded, False)]
        write_heif(out, b'heic', items, 1, [(b'thmb', 2, [1])])


def test_files(folder):
    """The pictures the tests read: an iPhone-like grid photo 90 x 120 upright with a red
    top-left corner; 1024 x 768 blue pictures with green thumbnails of 400 x 300 and 200 x
    150; 10- and 12-bit pictures, 64 x 48: transparent on the left quarter, then red at
    half alpha, then opaque (50%, 25%, 75%); the 10-bit AVIF without its alpha channel.
    Hostile ones next door, in ../hostile."""
    hostile = os.path.join(folder, '..', 'hostile')
    with tempfile.TemporaryDirectory() as work:
        upright = os.path.join(work, 'upright.png')
        convert('-size', '90x120', 'xc:#2060c0', '-fill', 'red', '-draw', 'rectangle 0,0 29,29', upright)
        iphone = os.path.join(folder, 'iphone-like.heic')
        grid(upright, iphone, tile=64)
        blue, green = os.path.join(work, 'blue.png'), os.path.join(work, 'green.png')
        convert('-size', '1024x768', 'xc:blue', 'PNG24:' + blue)  # not a one-colour palette
        for side in (400, 200):
            convert('-size', '%dx%d' % (side, side * 3 // 4), 'xc:lime', 'PNG24:' + green)
            with_thumbnail(blue, green, os.path.join(folder, 'thumbnail-%d.heic' % side))
        deep = os.path.join(work, 'deep.png')
        convert('-size', '64x48', 'xc:rgba(0,0,0,0)', '-depth', '16',
                '-fill', 'rgba(100%,0,0,0.5)', '-draw', 'rectangle 16,0 31,47',
                '-fill', 'rgb(50%,25%,75%)', '-draw', 'rectangle 32,0 63,47', 'PNG64:' + deep)
        # Debian's aom codes 10 bits in 4:2:2 only, and alpha at 12 bits only.
        for name, options in (('10-bit.avif', ['-A', '-b', '10', '-p', 'chroma=422', '--no-alpha']),
                              ('12-bit-alpha.avif', ['-A', '-b', '12', '-p', 'chroma=444']),
                              ('10-bit-alpha.heic', ['-b', '10'])):
            subprocess.run(['heif-enc', '-q', '95', *options, '-o', os.path.join(folder, name), deep],
                           check=True, stdout=subprocess.DEVNULL)

        data = open(iphone, 'rb').read()
        def patched(name, old, new):
            assert data.count(old) == 1, name
            open(os.path.join(hostile, name), 'wb').write(data.replace(old, new))
        grid_ispe = ispe(120, 90)
        grid_data = struct.pack('>BBBBHH', 0, 0, 1, 1, 120, 90)
        # Sides libheif takes (under 32768), 900 million pixels.
        patched('heif-huge-ispe.heic', grid_ispe, ispe(30000, 30000))
        patched('heif-huge-grid.heic', grid_data, struct.pack('>BBBBHH', 0, 0, 1, 1, 30000, 30000))
        # The grid's first tile is the grid itself.
        patched('heif-grid-loop.heic', b'dimg' + struct.pack('>HHH', 1000, 4, 1),
                b'dimg' + struct.pack('>HHH', 1000, 4, 1000))
        open(os.path.join(hostile, 'heif-cut.heic'), 'wb').write(data[:len(data) * 2 // 3])


if __name__ == '__main__':
    command = sys.argv[1] if len(sys.argv) > 1 else ''
    if command == 'grid' and len(sys.argv) in (4, 5):
        grid(sys.argv[2], sys.argv[3], int(sys.argv[4]) if len(sys.argv) == 5 else 512)
    elif command == 'thumbnail' and len(sys.argv) == 5:
        with_thumbnail(*sys.argv[2:5])
    elif command == 'test-files' and len(sys.argv) == 3:
        test_files(sys.argv[2])
    else:
        sys.exit(__doc__)
