#!/usr/bin/python3
# kept_jpegs.py PDF PHOTO... -- checks a PDF made at Highest, one photo a page, against its
# photos: pdfimages -j (-raw in newer poppler) must give back each unturned photo's JPEG as its file holds it,
# less the metadata (APPn blocks other than JFIF, ICC and Adobe; comments) and what
# follows the end of the picture; a turned photo must match its decode turned upright at
# 40 dB PSNR or more. Prints the counts, the lowest PSNR, and how many Exif blocks (where
# GPS places live) are in the PDF. Debian's python3 (with python3-pil, which img2pdf brings).
import glob, math, os, subprocess, sys, tempfile
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


pdf, photos = sys.argv[1], sys.argv[2:]
with tempfile.TemporaryDirectory() as work:
    subprocess.run(["pdfimages", "-j", pdf, os.path.join(work, "i")], check=True)
    images = sorted(glob.glob(os.path.join(work, "i-*")))
    same = unturned = turned = 0
    lowest = 99.0
    for photo, image in zip(photos, images):
        original = Image.open(photo)
        if original.getexif().get(0x0112, 1) == 1:
            unturned += 1
            same += open(image, "rb").read() == without_metadata(open(photo, "rb").read())
        else:
            turned += 1
            lowest = min(lowest, psnr(ImageOps.exif_transpose(original), Image.open(image)))
    blob = open(pdf, "rb").read()
    print(f"has {len(images)} pictures for {len(photos)} photos; {same} of {unturned} unturned "
          f"byte for byte; {turned} turned, lowest {lowest:.1f} dB; "
          f"Exif blocks in the PDF: {blob.count(b'Exif' + bytes(2))}")
