#!/usr/bin/python3
# kept_jpegs.py PDF PHOTO... -- checks a PDF made at Highest, one photo a page, against its
# photos: pdfimages -j (-raw in newer poppler) must give back each photo's JPEG as its
# file holds it, less the metadata (APPn blocks other than JFIF, ICC and Adobe; comments)
# and what follows the end of the picture; the picture as its page lays it down (the
# matrix before its Do) must match the photo's decode turned upright at 40 dB PSNR or
# more. Prints the counts, the lowest PSNR, and how many Exif blocks (where GPS places
# live) are in the PDF. Debian's python3 (with python3-pil, which img2pdf brings) and qpdf.
import glob, math, os, re, subprocess, sys, tempfile
from PIL import Image, ImageChops, ImageOps, ImageStat

KEPT_APPS = {0xE0: b"JFIF\0", 0xE2: b"ICC_PROFILE\0", 0xEE: b"Adobe"}


def without_metadata(data):
    out, pos = bytearray(data[:2]), 2
    while pos + 2 <= len(data) and data[pos] == 0xFF:
        marker = data[pos + 1]
        if marker == 0xD9:
            return bytes(out + data[pos:pos + 2])
        end = pos + 2 + int.from_bytes(data[pos + 2:pos + 4], "big")
        if marker == 0xDA:  # the entropy-coded data runs to the next marker but RSTn
            while True:
                end = data.index(b"\xFF", end)
                if data[end + 1] == 0 or 0xD0 <= data[end + 1] <= 0xD7:
                    end += 2
                elif data[end + 1] == 0xFF:
                    end += 1
                else:
                    break
        payload = data[pos + 4:end]
        metadata = marker == 0xFE or (0xE0 <= marker <= 0xEF and
                                      not payload.startswith(KEPT_APPS.get(marker, b"-")))
        if not metadata:
            out += data[pos:end]
        pos = end
    return None


def psnr(a, b):
    if a.size != b.size:
        return -1
    stat = ImageStat.Stat(ImageChops.difference(a.convert("RGB"), b.convert("RGB")))
    mse = sum(stat.sum2) / (3 * a.size[0] * a.size[1])
    return 99 if mse == 0 else 10 * math.log10(255 * 255 / mse)


def laid_down(image, m):
    """The image as the page shows it: m = a b c d e f maps its unit square (u across, v
    up) onto the page; each shown pixel takes the image pixel under its centre."""
    a, b, c, d, e, f = m
    w, h = image.size
    xs, ys = [e, e + a, e + c, e + a + c], [f, f + b, f + d, f + b + d]
    left, top, width, height = min(xs), max(ys), max(xs) - min(xs), max(ys) - min(ys)
    turned = abs(a) < abs(c)  # the picture's rows run up or down the page
    shown = (h, w) if turned else (w, h)
    # Shown pixel (X, Y) -> page (left + X * width / W', top - Y * height / H') -> (u, v)
    # by the inverse of m -> image pixel (u * w, (1 - v) * h).
    det = a * d - b * c
    sx, sy = width / shown[0], -height / shown[1]
    def to_u(px, py): return (d * (px - e) - c * (py - f)) / det
    def to_v(px, py): return (-b * (px - e) + a * (py - f)) / det
    # Affine in (X, Y): coefficients from three points.
    def image_point(X, Y):
        px, py = left + X * sx, top + Y * sy
        return to_u(px, py) * w, (1 - to_v(px, py)) * h
    o, ox, oy = image_point(0, 0), image_point(1, 0), image_point(0, 1)
    data = (ox[0] - o[0], oy[0] - o[0], o[0], ox[1] - o[1], oy[1] - o[1], o[1])
    return image.transform(shown, Image.AFFINE, data, Image.NEAREST)


def page_matrices(pdf, work):
    """Each page's matrix before its picture's Do, in page order."""
    qdf = os.path.join(work, "qdf.pdf")
    subprocess.run(["qpdf", "--qdf", "--object-streams=disable", pdf, qdf], check=True)
    text = open(qdf, "rb").read().decode("latin-1")
    number = r"(-?[0-9.]+)"
    found = {}
    for page, body in re.findall(r"%% Contents for page (\d+)\n.*?stream\n(.*?)endstream", text, re.S):
        m = re.search(r"\s".join([number] * 6) + r"\s+cm\s+/\S+\s+Do", body)
        if m:
            found[int(page)] = [float(x) for x in m.groups()]
    return [found[p] for p in sorted(found)]


pdf, photos = sys.argv[1], sys.argv[2:]
with tempfile.TemporaryDirectory() as work:
    subprocess.run(["pdfimages", "-j", pdf, os.path.join(work, "i")], check=True)
    images = sorted(glob.glob(os.path.join(work, "i-*")))
    matrices = page_matrices(pdf, work)
    same = turned = 0
    lowest = 99.0
    for photo, image, m in zip(photos, images, matrices):
        original = Image.open(photo)
        same += open(image, "rb").read() == without_metadata(open(photo, "rb").read())
        if original.getexif().get(0x0112, 1) != 1:
            turned += 1
            lowest = min(lowest, psnr(ImageOps.exif_transpose(original), laid_down(Image.open(image), m)))
    blob = open(pdf, "rb").read()
    print(f"has {len(images)} pictures for {len(photos)} photos; {same} of {len(photos)} "
          f"byte for byte; {turned} turned by their pages, lowest {lowest:.1f} dB; "
          f"Exif blocks in the PDF: {blob.count(b'Exif' + bytes(2))}")
