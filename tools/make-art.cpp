// Draws Tolvane's toolbar bitmaps, insertion-mark bitmaps and program icon.
// Run: g++ -O2 -std=c++17 -o /tmp/make-art tools/make-art.cpp && /tmp/make-art src/resources
//
// Self-contained on purpose (no image library): shapes are signed-distance functions,
// edge pixels are supersampled 16 x 16 for anti-aliasing, and the BMP/ICO bytes are
// written by hand so that the header fields are exactly what the resource loader expects.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------
// Geometry: a shape is a signed distance (negative inside, in pixels).

struct Pt {
    double x, y;
};
using Shape = std::function<double(double, double)>;

Shape rect(double x0, double y0, double x1, double y1) {
    return [=](double x, double y) {
        double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
        double dx = std::fabs(x - cx) - (x1 - x0) / 2, dy = std::fabs(y - cy) - (y1 - y0) / 2;
        double ox = std::max(dx, 0.0), oy = std::max(dy, 0.0);
        return std::sqrt(ox * ox + oy * oy) + std::min(std::max(dx, dy), 0.0);
    };
}

Shape roundRect(double x0, double y0, double x1, double y1, double r) {
    Shape inner = rect(x0 + r, y0 + r, x1 - r, y1 - r);
    return [=](double x, double y) { return inner(x, y) - r; };
}

Shape circle(double cx, double cy, double r) {
    return [=](double x, double y) { return std::hypot(x - cx, y - cy) - r; };
}

double segDist(double x, double y, Pt a, Pt b) {
    double bx = b.x - a.x, by = b.y - a.y, px = x - a.x, py = y - a.y;
    double t = std::clamp((px * bx + py * by) / (bx * bx + by * by), 0.0, 1.0);
    return std::hypot(px - bx * t, py - by * t);
}

// A line of width w with round ends.
Shape line(Pt a, Pt b, double w) {
    return [=](double x, double y) { return segDist(x, y, a, b) - w / 2; };
}

// A polyline of width w with round joins and ends.
Shape polyline(std::vector<Pt> pts, double w) {
    return [=](double x, double y) {
        double d = 1e9;
        for (size_t i = 0; i + 1 < pts.size(); ++i) d = std::min(d, segDist(x, y, pts[i], pts[i + 1]));
        return d - w / 2;
    };
}

// Filled polygon (non-zero winding), exact distance to its edges.
Shape polygon(std::vector<Pt> pts) {
    return [=](double x, double y) {
        double d = 1e9;
        int winding = 0;
        size_t n = pts.size();
        for (size_t i = 0; i < n; ++i) {
            Pt a = pts[i], b = pts[(i + 1) % n];
            d = std::min(d, segDist(x, y, a, b));
            bool up = a.y <= y && b.y > y, down = a.y > y && b.y <= y;
            if (up || down) {
                double cross = (b.x - a.x) * (y - a.y) - (x - a.x) * (b.y - a.y);
                if (up && cross > 0) ++winding;
                if (down && cross < 0) --winding;
            }
        }
        return winding != 0 ? -d : d;
    };
}

// A circular arc of width w from angle a0 to a1 (radians, y downward so positive angles
// turn clockwise on screen), with round ends.
Shape arc(double cx, double cy, double r, double a0, double a1, double w) {
    return [=](double x, double y) {
        double ang = std::atan2(y - cy, x - cx);
        double lo = std::min(a0, a1), hi = std::max(a0, a1);
        while (ang < lo) ang += 2 * M_PI;
        while (ang > lo + 2 * M_PI) ang -= 2 * M_PI;
        double d;
        if (ang <= hi) {
            d = std::fabs(std::hypot(x - cx, y - cy) - r);
        } else {
            Pt e0{cx + r * std::cos(lo), cy + r * std::sin(lo)};
            Pt e1{cx + r * std::cos(hi), cy + r * std::sin(hi)};
            d = std::min(std::hypot(x - e0.x, y - e0.y), std::hypot(x - e1.x, y - e1.y));
        }
        return d - w / 2;
    };
}

Shape unite(Shape a, Shape b) {
    return [=](double x, double y) { return std::min(a(x, y), b(x, y)); };
}
Shape intersect(Shape a, Shape b) {
    return [=](double x, double y) { return std::max(a(x, y), b(x, y)); };
}
Shape subtract(Shape a, Shape b) {
    return [=](double x, double y) { return std::max(a(x, y), -b(x, y)); };
}
// Grows (d > 0) or shrinks (d < 0) a shape.
Shape grow(Shape a, double d) {
    return [=](double x, double y) { return a(x, y) - d; };
}
// The band of width w just inside the shape's edge.
Shape border(Shape a, double w) { return subtract(a, grow(a, -w)); }

Shape moved(Shape a, double dx, double dy) {
    return [=](double x, double y) { return a(x - dx, y - dy); };
}
Shape rotated(Shape a, double cx, double cy, double ang) {
    double c = std::cos(ang), s = std::sin(ang);
    return [=](double x, double y) {
        double dx = x - cx, dy = y - cy;
        return a(cx + dx * c + dy * s, cy - dx * s + dy * c);
    };
}
Shape mirroredX(Shape a, double axis) {
    return [=](double x, double y) { return a(2 * axis - x, y); };
}

// ---------------------------------------------------------------------------------------
// Colour and paint.

struct Rgba {
    double r, g, b, a;  // straight (not premultiplied), 0..1
};

Rgba rgb(int r, int g, int b, double a = 1.0) { return {r / 255.0, g / 255.0, b / 255.0, a}; }

Rgba mix(Rgba p, Rgba q, double t) {
    return {p.r + (q.r - p.r) * t, p.g + (q.g - p.g) * t, p.b + (q.b - p.b) * t, p.a + (q.a - p.a) * t};
}

using Paint = std::function<Rgba(double, double)>;

Paint solid(Rgba c) {
    return [=](double, double) { return c; };
}
// Linear gradient from colour p at point a to colour q at point b.
Paint gradient(Pt a, Rgba p, Pt b, Rgba q) {
    return [=](double x, double y) {
        double dx = b.x - a.x, dy = b.y - a.y;
        double t = ((x - a.x) * dx + (y - a.y) * dy) / (dx * dx + dy * dy);
        return mix(p, q, std::clamp(t, 0.0, 1.0));
    };
}
Paint vgrad(double y0, Rgba p, double y1, Rgba q) { return gradient({0, y0}, p, {0, y1}, q); }

// ---------------------------------------------------------------------------------------
// Canvas: premultiplied floating-point RGBA, composited with "over".

struct Canvas {
    int w, h;
    std::vector<std::array<double, 4>> px;  // premultiplied r, g, b, a
    Canvas(int w_, int h_) : w(w_), h(h_), px(size_t(w_) * h_, {0, 0, 0, 0}) {}
    std::array<double, 4>& at(int x, int y) { return px[size_t(y) * w + x]; }
};

constexpr int kSamples = 16;  // per axis, for pixels that an edge crosses

// Coverage-weighted average paint over a pixel: returns premultiplied colour.
std::array<double, 4> samplePixel(const Shape& s, const Paint& p, int x, int y, double opacity) {
    double d = s(x + 0.5, y + 0.5);
    std::array<double, 4> out{0, 0, 0, 0};
    if (d > 0.75) return out;
    if (d < -0.75) {
        Rgba c = p(x + 0.5, y + 0.5);
        double a = c.a * opacity;
        return {c.r * a, c.g * a, c.b * a, a};
    }
    for (int j = 0; j < kSamples; ++j)
        for (int i = 0; i < kSamples; ++i) {
            double sx = x + (i + 0.5) / kSamples, sy = y + (j + 0.5) / kSamples;
            if (s(sx, sy) >= 0) continue;
            Rgba c = p(sx, sy);
            out[0] += c.r * c.a;
            out[1] += c.g * c.a;
            out[2] += c.b * c.a;
            out[3] += c.a;
        }
    double k = opacity / (kSamples * kSamples);
    for (double& v : out) v *= k;
    return out;
}

void fill(Canvas& cv, const Shape& s, const Paint& p, double opacity = 1.0) {
    for (int y = 0; y < cv.h; ++y)
        for (int x = 0; x < cv.w; ++x) {
            auto src = samplePixel(s, p, x, y, opacity);
            if (src[3] <= 0) continue;
            auto& dst = cv.at(x, y);
            for (int k = 0; k < 4; ++k) dst[k] = src[k] + dst[k] * (1 - src[3]);
        }
}
void fill(Canvas& cv, const Shape& s, Rgba c, double opacity = 1.0) { fill(cv, s, solid(c), opacity); }

// Erases what lies under the shape (used to cut a clear gap around overlaid badges).
void erase(Canvas& cv, const Shape& s) {
    Paint any = solid({0, 0, 0, 1});
    for (int y = 0; y < cv.h; ++y)
        for (int x = 0; x < cv.w; ++x) {
            double cov = samplePixel(s, any, x, y, 1.0)[3];
            if (cov <= 0) continue;
            for (double& v : cv.at(x, y)) v *= 1 - cov;
        }
}

// Fills a shape with a 1-pixel outline in one colour and the inside in another paint.
void outlined(Canvas& cv, const Shape& s, Rgba edge, const Paint& inside, double w = 1.0) {
    fill(cv, s, edge);
    fill(cv, grow(s, -w), inside);
}
void outlined(Canvas& cv, const Shape& s, Rgba edge, Rgba inside, double w = 1.0) {
    outlined(cv, s, edge, solid(inside), w);
}

// ---------------------------------------------------------------------------------------
// The palette shared by every picture.

const Rgba kInk = rgb(52, 63, 82);          // outlines of frames, pages, screen
const Rgba kPaperTop = rgb(255, 255, 255);  // paper and photo mat
const Rgba kPaperBottom = rgb(226, 232, 240);
const Rgba kSkyTop = rgb(118, 178, 238);
const Rgba kSkyBottom = rgb(196, 226, 252);
const Rgba kSun = rgb(255, 200, 40);
const Rgba kHillBack = rgb(150, 206, 92);
const Rgba kHillFront = rgb(52, 150, 72);
const Rgba kGreen = rgb(64, 178, 74), kGreenLight = rgb(120, 214, 110), kGreenDark = rgb(28, 112, 44);
const Rgba kRed = rgb(226, 60, 50), kRedLight = rgb(250, 120, 100), kRedDark = rgb(150, 26, 22);
const Rgba kBlue = rgb(34, 112, 220), kBlueLight = rgb(90, 160, 245), kBlueDark = rgb(18, 66, 156);
const Rgba kSteelLight = rgb(206, 214, 226), kSteelDark = rgb(128, 140, 160);
const Rgba kTextLine = rgb(132, 146, 168);

// Turns a whole drawing by `ang` radians about (cx, cy): shapes and paints go through it.
struct Tilt {
    double cx = 0, cy = 0, ang = 0;
    Shape operator()(const Shape& s) const { return ang == 0 ? s : rotated(s, cx, cy, ang); }
    Paint operator()(const Paint& p) const {
        if (ang == 0) return p;
        double c = std::cos(ang), sn = std::sin(ang), x0 = cx, y0 = cy;
        return [=](double x, double y) {
            double dx = x - x0, dy = y - y0;
            return p(x0 + dx * c + dy * sn, y0 - dx * sn + dy * c);
        };
    }
};

// The toolbar pictures are designed on a 24 x 24 grid and drawn at 24, 36 or 48 pixels.
// A Grid turns design units into pixels for one of those sizes; the icon uses the default
// (one pixel a unit).
struct Grid {
    double k = 1;   // pixels per design unit
    double lw = 1;  // pixels per design unit of line width (outlines, gaps, mirror lines)
    // A free coordinate or length: curves, anti-aliased strokes, gradient ends.
    double operator()(double v) const { return v * k; }
    // An edge that lies between pixels in the design lands between pixels at every size,
    // so straight edges stay sharp. Halves round to even, which keeps a pair of edges
    // symmetric about the middle of the picture.
    double e(double v) const { return std::nearbyint(v * k); }
    // The middle of the design pixels from edge a to edge b, after snapping.
    double mid(double a, double b) const { return (e(a) + e(b)) / 2; }
    // The width of an outline or gap.
    double w(double v) const { return v * lw; }
};

// The landscape seen in every picture: sky, sun at the upper left, two hills.
void landscape(Canvas& cv, double x0, double y0, double x1, double y1, Tilt t = {}, const Grid& g = {}) {
    Shape view = t(rect(x0, y0, x1, y1));
    double vw = x1 - x0, vh = y1 - y0;
    fill(cv, view, t(vgrad(y0, kSkyTop, y1, kSkyBottom)));
    fill(cv, intersect(view, t(circle(x0 + vw * 0.30, y0 + vh * 0.34, std::max(g(1.4), vh * 0.19)))), kSun);
    Shape back = t(circle(x0 + vw * 0.85, y1 + vh * 1.1, vh * 1.75));
    Shape front = t(circle(x0 + vw * 0.10, y1 + vh * 2.3, vh * 2.65));
    fill(cv, intersect(view, back), t(vgrad(y0, kHillBack, y1 + g(2), mix(kHillBack, kHillFront, 0.5))));
    fill(cv, intersect(view, front), t(vgrad(y0 + vh * 0.4, mix(kHillFront, kHillBack, 0.35), y1 + g(2), kHillFront)));
}

// The picture motif: the landscape in a white mat and an ink frame (one pixel at 24).
// (x0, y0)-(x1, y1) are pixel edges.
void picture(Canvas& cv, double x0, double y0, double x1, double y1, Tilt t = {}, const Grid& g = {}) {
    Shape frame = t(roundRect(x0, y0, x1, y1, g(1.0)));
    fill(cv, frame, kInk);
    fill(cv, grow(frame, -g.w(1)), t(vgrad(y0, kPaperTop, y1, kPaperBottom)));
    double m = g.e(2);
    landscape(cv, x0 + m, y0 + m, x1 - m, y1 - m, t, g);
}

// A badge in the bottom-right corner: cuts a clear gap, then draws the shape with a dark
// outline and a lit gradient inside.
void badge(Canvas& cv, const Grid& g, const Shape& s, Rgba light, Rgba mid, Rgba dark) {
    erase(cv, grow(s, g.w(1)));
    Paint face = gradient({0, g(10)}, light, {0, g(23)}, mid);
    outlined(cv, s, dark, face, g.w(1));
}

Shape plusShape(double cx, double cy, double arm, double half) {
    return unite(rect(cx - arm, cy - half, cx + arm, cy + half), rect(cx - half, cy - arm, cx + half, cy + arm));
}

Shape crossShape(double cx, double cy, double arm, double half) {
    Shape a = polygon({{cx - arm, cy - arm + half * 1.4142}, {cx - arm + half * 1.4142, cy - arm},
                       {cx + arm, cy + arm - half * 1.4142}, {cx + arm - half * 1.4142, cy + arm}});
    return unite(a, mirroredX(a, cx));
}

// An arrow head: a triangle with its tip at `tip`, pointing in direction `ang`.
Shape arrowHead(Pt tip, double ang, double len, double halfWidth) {
    double c = std::cos(ang), s = std::sin(ang);
    Pt base{tip.x - c * len, tip.y - s * len};
    return polygon({tip, {base.x - s * halfWidth, base.y + c * halfWidth}, {base.x + s * halfWidth, base.y - c * halfWidth}});
}

// ---------------------------------------------------------------------------------------
// The sixteen toolbar pictures, designed on a 24 x 24 grid. Pixel edges of the design go
// through Grid::e, so they stay on pixel edges at 36 and 48 pixels; curves and strokes
// are scaled and keep their anti-aliasing.

void drawAddImages(Canvas& cv, const Grid& g) {
    picture(cv, g.e(1), g.e(2), g.e(19), g.e(17), {}, g);
    badge(cv, g, plusShape(g.e(18), g.e(18), g.e(5), g.e(2)), kGreenLight, kGreen, kGreenDark);
}

// The length nearest `want` (and no longer) that leaves an even margin in `room`, so that
// it can be centred on whole pixels.
double centred(double room, double want) { return std::fmod(room - want, 2.0) == 0 ? want : want - 1; }

void drawOptions(Canvas& cv, const Grid& g) {
    // Clipboard with three ticked rows.
    Shape board = roundRect(g.e(3), g.e(2), g.e(21), g.e(23), g(1.5));
    outlined(cv, board, kInk, vgrad(g.e(2), kPaperTop, g.e(23), kPaperBottom), g.w(1));
    Shape clip = roundRect(g.e(8), g.e(1), g.e(16), g.e(5), g(1.0));
    outlined(cv, clip, kInk, vgrad(g.e(1), kSteelLight, g.e(5), kSteelDark), g.w(1));
    for (int i = 0; i < 3; ++i) {
        double y = 8 + i * 5;
        double x0 = g.e(6), y0 = g.e(y), y1 = g.e(y + 4);
        outlined(cv, rect(x0, y0, g.e(10), y1), kTextLine, rgb(255, 255, 255), g.w(1));
        double bar = centred(y1 - y0, g.e(2));
        double top = y0 + (y1 - y0 - bar) / 2;
        fill(cv, rect(g.e(12), top, g.e(18), top + bar), kTextLine);
        if (i < 2) {
            // The tick keeps its place in the box that it marks.
            double dx = x0 - g(6), dy = y0 - g(y);
            Shape tick = polyline({{g(6.9) + dx, g(y + 1.5) + dy}, {g(8.2) + dx, g(y + 2.8) + dy},
                                   {g(11.4) + dx, g(y - 1.2) + dy}},
                                  g(1.6));
            fill(cv, tick, rgb(30, 146, 52));
        }
    }
}

// Pixel letters for the "PDF" labels: 3 x 5, and 5 x 7 for the 36-pixel pictures, where
// the 3 x 5 letters would need cells of one and a half pixels.
struct Font {
    int w, h;
    const char* const* p;
    const char* const* d;
    const char* const* f;
};
const char* kGlyphP[5] = {"###", "#.#", "###", "#..", "#.."};
const char* kGlyphD[5] = {"##.", "#.#", "#.#", "#.#", "##."};
const char* kGlyphF[5] = {"###", "#..", "##.", "#..", "#.."};
const Font kFont3x5{3, 5, kGlyphP, kGlyphD, kGlyphF};
const char* kGlyphP7[7] = {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."};
const char* kGlyphD7[7] = {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."};
const char* kGlyphF7[7] = {"#####", "#....", "#....", "####.", "#....", "#....", "#...."};
const Font kFont5x7{5, 7, kGlyphP7, kGlyphD7, kGlyphF7};

void glyph(Canvas& cv, const Font& font, const char* const* g, double x, double y, double size, Rgba c) {
    for (int r = 0; r < font.h; ++r)
        for (int k = 0; k < font.w; ++k)
            if (g[r][k] == '#') fill(cv, rect(x + k * size, y + r * size, x + (k + 1) * size, y + (r + 1) * size), c);
}

// Red "PDF" tag whose top-left pixel edge is (x, y); each letter cell is `size` pixels, one
// cell around and between the letters; `line` is the width of its outline and clear gap.
void pdfTag(Canvas& cv, double x, double y, double size, double line = 1.0, const Font& font = kFont3x5) {
    double w = (3 * font.w + 4) * size, h = (font.h + 2) * size;
    Shape tag = roundRect(x, y, x + w, y + h, size > 1 || font.h > 5 ? 2.0 : 1.0);
    erase(cv, grow(tag, line));
    outlined(cv, tag, kRedDark, vgrad(y, kRedLight, y + h, kRed), line);
    Rgba white = rgb(255, 255, 255);
    glyph(cv, font, font.p, x + 1 * size, y + 1 * size, size, white);
    glyph(cv, font, font.d, x + (font.w + 2) * size, y + 1 * size, size, white);
    glyph(cv, font, font.f, x + (2 * font.w + 3) * size, y + 1 * size, size, white);
}

// The tag in a toolbar picture, its bottom-right corner at the design edges (right, bottom).
void pdfTag(Canvas& cv, const Grid& g, double right, double bottom) {
    const Font& font = g.k == 1.5 ? kFont5x7 : kFont3x5;
    double size = g.k == 1.5 ? 1 : g.k;
    double w = (3 * font.w + 4) * size, h = (font.h + 2) * size;
    pdfTag(cv, g.e(right) - w, g.e(bottom) - h, size, g.w(1), font);
}

// A gear: teeth `tipHalf` wide at the outer radius (half widths) and `baseHalf` where they
// start, `inset` inside the body.
Shape gearShape(double cx, double cy, double rOuter, double rBody, double rHole, int teeth, double tipHalf,
                double baseHalf, double inset) {
    Shape g = circle(cx, cy, rBody);
    for (int i = 0; i < teeth; ++i) {
        double a = 2 * M_PI * i / teeth;
        // A tooth: a tapered block from inside the body to the outer radius.
        Shape t = polygon({{-baseHalf, -rBody + inset}, {baseHalf, -rBody + inset}, {tipHalf, -rOuter}, {-tipHalf, -rOuter}});
        g = unite(g, rotated(moved(t, cx, cy), cx, cy, a));
    }
    return subtract(g, circle(cx, cy, rHole));
}

void drawMakePdf(Canvas& cv, const Grid& g) {
    // The top tooth spans design columns 9..12 and starts at row 1; keep both on pixel edges.
    double c = g.mid(10, 11);
    Shape gear = gearShape(c, c, c - g.e(1), g(7.0), g(2.5), 8, (g.e(12) - g.e(9)) / 2, g(1.7), g(0.5));
    outlined(cv, gear, kInk, gradient({g(3), g(3)}, kSteelLight, {g(18), g(18)}, kSteelDark), g.w(1));
    fill(cv, border(circle(c, c, g(4.6)), g.w(1)), mix(kSteelDark, kInk, 0.3), 0.6);
    pdfTag(cv, g, 23, 22);
}

void drawScreen(Canvas& cv, const Grid& g, bool lit) {
    // Tripod legs behind the screen.
    Rgba leg = kInk;
    fill(cv, line({g(12), g(16)}, {g(12), g(21.5)}, g(1.2)), leg);
    fill(cv, line({g(11.5), g(16)}, {g(6), g(22.3)}, g(1.2)), leg);
    fill(cv, line({g(12.5), g(16)}, {g(18), g(22.3)}, g(1.2)), leg);
    Shape screen = rect(g.e(3), g.e(4), g.e(21), g.e(17));
    Pt lo{g.e(3), g.e(4)}, hi{g.e(21), g.e(17)};
    if (lit) {
        // Glow around the screen (only visible where alpha is kept).
        fill(cv, grow(screen, g(1.6)), rgb(255, 214, 60), 0.55);
        outlined(cv, screen, kInk, gradient(lo, rgb(255, 253, 225), hi, rgb(255, 214, 70)), g.w(1));
        // A picture is being shown: simplified landscape.
        Shape view = rect(g.e(6), g.e(7), g.e(18), g.e(14));
        fill(cv, view, vgrad(g.e(7), kSkyTop, g.e(14), kSkyBottom));
        fill(cv, intersect(view, circle(g(9.5), g(9.5), g(1.6))), kSun);
        fill(cv, intersect(view, circle(g(16), g(22), g(10))), kHillBack);
        fill(cv, intersect(view, circle(g(8), g(26), g(13))), kHillFront);
    } else {
        outlined(cv, screen, kInk, gradient(lo, rgb(250, 251, 253), hi, rgb(208, 216, 228)), g.w(1));
        // Faint diagonal sheen so the plain screen does not look empty.
        fill(cv, intersect(grow(screen, -g.w(1)), polygon({{g(4), g(16)}, {g(14), g(5)}, {g(17), g(5)}, {g(7), g(16)}})),
             rgb(255, 255, 255), 0.8);
    }
    // The roller bar on top.
    Shape bar = roundRect(g.e(1), g.e(2), g.e(23), g.e(5), g(1.5));
    outlined(cv, bar, kInk, vgrad(g.e(2), kSteelLight, g.e(5), kSteelDark), g.w(1));
}

// Layout pages: a portrait page holding 1, 2 or 4 picture slots.
void drawPage(Canvas& cv, const Grid& g, int slots) {
    Shape page = rect(g.e(4), g.e(1), g.e(20), g.e(23));
    outlined(cv, page, kInk, vgrad(g.e(1), kPaperTop, g.e(23), kPaperBottom), g.w(1));
    double b = g.w(1);
    auto slot = [&](double dx0, double dy0, double dx1, double dy1) {
        double x0 = g.e(dx0), y0 = g.e(dy0), x1 = g.e(dx1), y1 = g.e(dy1);
        Shape s = rect(x0, y0, x1, y1);
        fill(cv, s, rgb(92, 140, 200));
        Shape in = rect(x0 + b, y0 + b, x1 - b, y1 - b);
        fill(cv, in, vgrad(y0, kSkyTop, y1, kSkyBottom));
        double h = y1 - y0 - 2 * b;
        double hill = std::max(1.0, std::round(h * 0.35));
        fill(cv, rect(x0 + b, y1 - b - hill, x1 - b, y1 - b), kHillFront);
    };
    if (slots == 1) {
        slot(6, 3, 18, 21);
    } else if (slots == 2) {
        slot(6, 3, 18, 11);
        slot(6, 13, 18, 21);
    } else {
        slot(6, 3, 11, 11);
        slot(13, 3, 18, 11);
        slot(6, 13, 11, 21);
        slot(13, 13, 18, 21);
    }
}

// Arrows share one look: a dark edge, a lit blue face and a clear gap around them.
void blueArrow(Canvas& cv, const Grid& g, const Shape& a) {
    erase(cv, grow(a, g.w(2.0)));
    fill(cv, grow(a, g.w(1.0)), kBlueDark);
    fill(cv, a, gradient({0, g(2)}, kBlueLight, {0, g(22)}, kBlue));
}

// Rotation: the picture at the bottom left, a quarter-circle arrow over its top-right
// corner turning down the right side (mirrored for counter-clockwise).
void drawRotate(Canvas& cv, const Grid& g, bool clockwise) {
    picture(cv, g.e(clockwise ? 1 : 7), g.e(9), g.e(clockwise ? 17 : 23), g.e(23), {}, g);
    double cx = g(8.5), cy = g(16.0), r = g(11.5);
    double a0 = -M_PI * 0.56, a1 = -M_PI * 0.07;  // from above the picture to its right side
    Shape body = arc(cx, cy, r, a0, a1, g(1.4));
    Pt end{cx + r * std::cos(a1), cy + r * std::sin(a1)};
    double dir = a1 + M_PI / 2;
    Shape head = arrowHead({end.x + g(3.6) * std::cos(dir), end.y + g(3.6) * std::sin(dir)}, dir, g(4.6), g(3.0));
    Shape a = unite(body, head);
    if (!clockwise) a = mirroredX(a, g(12));
    blueArrow(cv, g, a);
}

// A picture with its colours washed out, for the mirrored copy.
void fadedPicture(Canvas& cv, const Grid& g, double x0, double y0, double x1, double y1) {
    Canvas layer(cv.w, cv.h);
    picture(layer, x0, y0, x1, y1, {}, g);
    for (auto& p : layer.px)
        for (int k = 0; k < 3; ++k) p[k] = p[k] + (p[3] - p[k]) * 0.5;
    for (size_t i = 0; i < cv.px.size(); ++i)
        for (int k = 0; k < 4; ++k) cv.px[i][k] = layer.px[i][k] + cv.px[i][k] * (1 - layer.px[i][3]);
}

// A double arrow whose shaft fills design row (across) or column `at`, with its tips at
// `from` and `to` along it (design units).
void doubleArrow(Canvas& cv, const Grid& g, bool across, double at, double from, double to) {
    double c = g.mid(at, at + 1), half = (g.e(at + 1) - g.e(at)) / 2;
    Pt a = across ? Pt{g(from), c} : Pt{c, g(from)};
    Pt b = across ? Pt{g(to), c} : Pt{c, g(to)};
    double ang = std::atan2(b.y - a.y, b.x - a.x);
    Shape shaft = across ? rect(std::min(a.x, b.x) + g(2), c - half, std::max(a.x, b.x) - g(2), c + half)
                         : rect(c - half, std::min(a.y, b.y) + g(2), c + half, std::max(a.y, b.y) - g(2));
    Shape arrow = unite(shaft, unite(arrowHead(b, ang, g(3.5), g(2.6)), arrowHead(a, ang + M_PI, g(3.5), g(2.6))));
    blueArrow(cv, g, arrow);
}

// Flips: the picture and its mirror image on either side of a dashed mirror line, with a
// double arrow across the line.
void drawFlipTopBottom(Canvas& cv, const Grid& g) {
    // At 24 pixels: top picture rows 0..9; mirror line on row 11; the mirror image rows 13..22.
    double x0 = g.e(1), y0 = g.e(0), x1 = g.e(17), y1 = g.e(10);
    picture(cv, x0, y0, x1, y1, {}, g);
    Canvas lower(cv.w, cv.h);
    fadedPicture(lower, g, x0, y0, x1, y1);
    int m0 = int(g.e(11)), m1 = m0 + int(g.w(1));  // the mirror line's rows
    for (int y = 0; y < m0; ++y)
        for (int x = 0; x < cv.w; ++x) cv.at(x, m0 + m1 - 1 - y) = lower.at(x, y);
    for (int x = 0; x < 18; x += 3) fill(cv, rect(g.e(x), m0, g.e(x + 2), m1), kBlueDark);
    doubleArrow(cv, g, false, 20, 1.5, 21.5);
}

void drawFlipLeftRight(Canvas& cv, const Grid& g) {
    // At 24 pixels: left picture columns 0..9; mirror line on column 11; the mirror image
    // columns 13..22.
    double x0 = g.e(0), y0 = g.e(1), x1 = g.e(10), y1 = g.e(15);
    picture(cv, x0, y0, x1, y1, {}, g);
    Canvas right(cv.w, cv.h);
    fadedPicture(right, g, x0, y0, x1, y1);
    int m0 = int(g.e(11)), m1 = m0 + int(g.w(1));  // the mirror line's columns
    for (int y = 0; y < cv.h; ++y)
        for (int x = 0; x < m0; ++x) cv.at(m0 + m1 - 1 - x, y) = right.at(x, y);
    for (int y = 0; y < 16; y += 3) fill(cv, rect(m0, g.e(y), m1, g.e(y + 2)), kBlueDark);
    doubleArrow(cv, g, true, 20, 1.5, 21.5);
}

void drawRemove(Canvas& cv, const Grid& g) {
    picture(cv, g.e(1), g.e(2), g.e(19), g.e(17), {}, g);
    // Edges on exact diagonals through pixel corners, so every edge pixel is half covered:
    // the centre and the tips are whole or half pixels, the arms k * 2 pixels wide.
    double c = g.mid(17, 18);
    Shape x = crossShape(c, c, g.e(23) - c, g(M_SQRT2));
    erase(cv, grow(x, g.w(1.6)));
    fill(cv, grow(x, g.w(M_SQRT1_2)), kRedDark);
    fill(cv, x, gradient({0, g(13)}, kRedLight, {0, g(23)}, kRed));
}

void drawLifeRing(Canvas& cv, const Grid& g) {
    double c = g(12);
    double rOut = g(10.5), rIn = g(5.0);
    Shape ring = subtract(circle(c, c, rOut), circle(c, c, rIn));
    fill(cv, ring, kInk);
    Shape face = subtract(circle(c, c, rOut - g.w(1)), circle(c, c, rIn + g.w(1)));
    fill(cv, face, gradient({g(4), g(4)}, rgb(255, 255, 255), {g(20), g(20)}, kPaperBottom));
    // Four red bands on the diagonals.
    for (int i = 0; i < 4; ++i) {
        double a = M_PI / 4 + i * M_PI / 2;
        Shape wedge = polygon({{c, c}, {c + g(14) * std::cos(a - 0.42), c + g(14) * std::sin(a - 0.42)},
                               {c + g(14) * std::cos(a + 0.42), c + g(14) * std::sin(a + 0.42)}});
        fill(cv, intersect(face, wedge), gradient({g(4), g(4)}, kRedLight, {g(20), g(20)}, kRed));
    }
    // Dark seam between bands and the light inner shadow.
    fill(cv, border(circle(c, c, rOut - g.w(1)), g.w(0.6)), kInk, 0.25);
}

using Drawer = std::function<void(Canvas&, const Grid&)>;

std::vector<Drawer> toolbarPictures() {
    return {
        drawAddImages,
        [](Canvas&, const Grid&) {},
        [](Canvas&, const Grid&) {},
        drawOptions,
        drawMakePdf,
        [](Canvas& c, const Grid& g) { drawScreen(c, g, false); },
        [](Canvas& c, const Grid& g) { drawScreen(c, g, true); },
        [](Canvas& c, const Grid& g) { drawPage(c, g, 1); },
        [](Canvas& c, const Grid& g) { drawPage(c, g, 2); },
        [](Canvas& c, const Grid& g) { drawPage(c, g, 4); },
        [](Canvas& c, const Grid& g) { drawRotate(c, g, true); },
        [](Canvas& c, const Grid& g) { drawRotate(c, g, false); },
        drawFlipTopBottom,
        drawFlipLeftRight,
        drawRemove,
        drawLifeRing,
    };
}

// ---------------------------------------------------------------------------------------
// The program icon: photos going into a PDF page. Two photos fan out behind the page on
// the left; the page shows the same picture and carries a red "PDF" band.

// A page with a folded top-right corner; (x0, y0)-(x1, y1) pixel edges, fold size f.
void foldedPage(Canvas& cv, double x0, double y0, double x1, double y1, double f) {
    Shape page = polygon({{x0, y0}, {x1 - f, y0}, {x1, y0 + f}, {x1, y1}, {x0, y1}});
    erase(cv, grow(page, 1.0));
    outlined(cv, page, kInk, vgrad(y0, kPaperTop, y1, kPaperBottom));
    Shape fold = polygon({{x1 - f - 1, y0}, {x1, y0 + f + 1}, {x1 - f - 1, y0 + f + 1}});
    outlined(cv, fold, kInk, vgrad(y0, kPaperBottom, y0 + f, rgb(190, 200, 216)));
}

void drawAppIcon(Canvas& cv) {
    int S = cv.w;  // 16, 32 or 48
    if (S == 16) {
        // Hand-placed for 16 x 16: a photo behind the page, the "PDF" band in front.
        picture(cv, 0, 1, 11, 10);
        foldedPage(cv, 6, 0, 16, 16, 4);
        pdfTag(cv, 2, 9, 1);
        return;
    }
    double k = S / 32.0;
    auto R = [&](double v) { return std::round(v * k); };
    // Two photos fanned out behind the page.
    picture(cv, R(1), R(5), R(18), R(18), {9.5 * k, 11.5 * k, -0.30});
    picture(cv, R(1), R(10), R(18), R(23), {9.5 * k, 16.5 * k, -0.06});
    foldedPage(cv, R(14), R(1), R(31), R(31), R(7));
    landscape(cv, R(17), R(10), R(28), R(19));
    if (S == 48)
        pdfTag(cv, 15, 29, 2);
    else
        pdfTag(cv, 12, 22, 1);
}

// ---------------------------------------------------------------------------------------
// Output: 8-bit RGBA images, BMP and ICO files.

struct Image {
    int w, h;
    std::vector<std::array<uint8_t, 4>> px;  // straight r, g, b, a; top row first
};

Image toImage(Canvas& cv) {
    Image im{cv.w, cv.h, std::vector<std::array<uint8_t, 4>>(cv.px.size())};
    for (size_t i = 0; i < cv.px.size(); ++i) {
        auto p = cv.px[i];
        double a = std::clamp(p[3], 0.0, 1.0);
        uint8_t A = uint8_t(std::lround(a * 255));
        if (A == 0) {
            im.px[i] = {0, 0, 0, 0};
            continue;
        }
        auto ch = [&](double v) { return uint8_t(std::clamp(std::lround(v / a * 255), 0L, 255L)); };
        im.px[i] = {ch(p[0]), ch(p[1]), ch(p[2]), A};
    }
    return im;
}

using Rgb = std::array<uint8_t, 3>;

// Flattens onto an opaque background. Pixels less than ~40% covered become the
// background exactly, so the edge stays clean whatever colour the background maps to.
std::vector<Rgb> flatten(const Image& im, Rgb bg) {
    std::vector<Rgb> out(im.px.size());
    for (size_t i = 0; i < im.px.size(); ++i) {
        auto p = im.px[i];
        double a = p[3] / 255.0;
        if (a < 0.4) {
            out[i] = bg;
            continue;
        }
        a = std::min(1.0, (a - 0.4) / 0.45 * 0.5 + 0.5);
        for (int k = 0; k < 3; ++k) out[i][k] = uint8_t(std::lround(p[k] * a + bg[k] * (1 - a)));
    }
    return out;
}

// Median-cut reduction of `colours` (with counts) to at most n representatives.
std::vector<Rgb> medianCut(const std::map<Rgb, int>& colours, size_t n) {
    struct Box {
        std::vector<std::pair<Rgb, int>> c;
    };
    std::vector<Box> boxes(1);
    for (auto& kv : colours) boxes[0].c.push_back(kv);
    while (boxes.size() < n) {
        // Split the box with the widest channel range weighted by pixel count.
        int best = -1;
        double bestScore = 0;
        int bestAxis = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].c.size() < 2) continue;
            for (int ax = 0; ax < 3; ++ax) {
                int lo = 255, hi = 0, cnt = 0;
                for (auto& e : boxes[i].c) lo = std::min<int>(lo, e.first[ax]), hi = std::max<int>(hi, e.first[ax]), cnt += e.second;
                double score = double(hi - lo) * std::sqrt(double(cnt));
                if (score > bestScore) bestScore = score, best = int(i), bestAxis = ax;
            }
        }
        if (best < 0) break;
        auto& v = boxes[best].c;
        std::sort(v.begin(), v.end(), [&](auto& a, auto& b) { return a.first[bestAxis] < b.first[bestAxis]; });
        int total = 0, half = 0;
        for (auto& e : v) total += e.second;
        size_t cut = 1;
        for (size_t i = 0; i + 1 < v.size(); ++i) {
            half += v[i].second;
            cut = i + 1;
            if (half * 2 >= total) break;
        }
        Box other;
        other.c.assign(v.begin() + long(cut), v.end());
        v.resize(cut);
        boxes.push_back(other);
    }
    std::vector<Rgb> pal;
    for (auto& b : boxes) {
        double s[3] = {0, 0, 0}, cnt = 0;
        for (auto& e : b.c)
            for (int k = 0; k < 3; ++k) s[k] += e.first[k] * double(e.second);
        for (auto& e : b.c) cnt += e.second;
        pal.push_back({uint8_t(std::lround(s[0] / cnt)), uint8_t(std::lround(s[1] / cnt)), uint8_t(std::lround(s[2] / cnt))});
    }
    return pal;
}

// Palette image: index 0 is `bg` (if given), then the picture's colours. Colours that the
// toolbar remaps (black, the two greys, white) are nudged so that only `bg` is remapped.
struct Indexed {
    std::vector<Rgb> palette;
    std::vector<uint8_t> idx;
};

Rgb nudge(Rgb c) {
    static const Rgb mapped[] = {{0, 0, 0}, {128, 128, 128}, {192, 192, 192}, {255, 255, 255}};
    for (auto& m : mapped)
        if (c == m) return {uint8_t(c[0] == 255 ? 254 : c[0] + 1), c[1], c[2]};
    return c;
}

Indexed quantise(const std::vector<Rgb>& pixels, const Rgb* bg) {
    std::map<Rgb, int> colours;
    for (auto& p : pixels)
        if (!bg || p != *bg) ++colours[p];
    size_t room = bg ? 255 : 256;
    std::vector<Rgb> pal;
    if (colours.size() <= room) {
        for (auto& kv : colours) pal.push_back(kv.first);
    } else {
        pal = medianCut(colours, room);
    }
    Indexed out;
    if (bg) out.palette.push_back(*bg);
    for (auto& c : pal) out.palette.push_back(bg ? nudge(c) : c);
    out.idx.resize(pixels.size());
    std::map<Rgb, uint8_t> memo;
    for (size_t i = 0; i < pixels.size(); ++i) {
        Rgb p = pixels[i];
        if (bg && p == *bg) {
            out.idx[i] = 0;
            continue;
        }
        auto it = memo.find(p);
        if (it != memo.end()) {
            out.idx[i] = it->second;
            continue;
        }
        size_t best = bg ? 1 : 0;
        long bestD = 1L << 40;
        for (size_t k = bg ? 1 : 0; k < out.palette.size(); ++k) {
            long d = 0;
            for (int c = 0; c < 3; ++c) {
                long e = long(p[c]) - out.palette[k][c];
                d += e * e * (c == 1 ? 3 : 2);
            }
            if (d < bestD) bestD = d, best = k;
        }
        memo[p] = uint8_t(best);
        out.idx[i] = uint8_t(best);
    }
    return out;
}

struct Bytes {
    std::vector<uint8_t> b;
    void u8(unsigned v) { b.push_back(uint8_t(v)); }
    void u16(unsigned v) { u8(v & 0xff), u8(v >> 8); }
    void u32(uint32_t v) { u16(v & 0xffff), u16(v >> 16); }
    void append(const Bytes& o) { b.insert(b.end(), o.b.begin(), o.b.end()); }
};

// BITMAPINFOHEADER (40 bytes, BI_RGB); heightField is doubled for icon images.
void infoHeader(Bytes& o, int w, int heightField, int bpp, uint32_t imageSize, uint32_t colours) {
    o.u32(40);
    o.u32(uint32_t(w));
    o.u32(uint32_t(heightField));
    o.u16(1);
    o.u16(unsigned(bpp));
    o.u32(0);  // BI_RGB
    o.u32(imageSize);
    o.u32(2835), o.u32(2835);  // 72 dpi
    o.u32(colours);
    o.u32(0);
}

int rowBytes(int w, int bpp) { return ((w * bpp + 31) / 32) * 4; }

// Pixel data and palette of a DIB, bottom-up.
Bytes dib32(const Image& im, int heightField) {
    Bytes o;
    infoHeader(o, im.w, heightField, 32, uint32_t(im.w * im.h * 4), 0);
    for (int y = im.h - 1; y >= 0; --y)
        for (int x = 0; x < im.w; ++x) {
            auto p = im.px[size_t(y) * im.w + x];
            o.u8(p[2]), o.u8(p[1]), o.u8(p[0]), o.u8(p[3]);
        }
    return o;
}

Bytes dib8(int w, int h, const Indexed& ix, int heightField) {
    Bytes o;
    int rb = rowBytes(w, 8);
    infoHeader(o, w, heightField, 8, uint32_t(rb * h), uint32_t(ix.palette.size()));
    for (auto& c : ix.palette) o.u8(c[2]), o.u8(c[1]), o.u8(c[0]), o.u8(0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) o.u8(ix.idx[size_t(y) * w + x]);
        for (int x = w; x < rb; ++x) o.u8(0);
    }
    return o;
}

void writeFile(const std::string& path, const Bytes& o) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(o.b.data(), 1, o.b.size(), f) != o.b.size()) {
        std::perror(path.c_str());
        std::exit(1);
    }
    std::fclose(f);
    std::printf("wrote %s (%zu bytes)\n", path.c_str(), o.b.size());
}

// BITMAPFILEHEADER + DIB.
void writeBmp(const std::string& path, const Bytes& dib, uint32_t paletteBytes) {
    Bytes o;
    o.u8('B'), o.u8('M');
    o.u32(uint32_t(14 + dib.b.size()));
    o.u16(0), o.u16(0);
    o.u32(14 + 40 + paletteBytes);
    o.append(dib);
    writeFile(path, o);
}

// Icon image: DIB with doubled height, XOR pixels, then the AND mask (1 = transparent).
Bytes iconImage(const Image& im, const Indexed* ix) {
    Bytes o = ix ? dib8(im.w, im.h, *ix, im.h * 2) : dib32(im, im.h * 2);
    // The header's image size must cover the mask too.
    int mrb = rowBytes(im.w, 1);
    uint32_t xorSize = uint32_t(rowBytes(im.w, ix ? 8 : 32) * im.h);
    uint32_t total = xorSize + uint32_t(mrb * im.h);
    for (int k = 0; k < 4; ++k) o.b[20 + k] = uint8_t(total >> (8 * k));
    for (int y = im.h - 1; y >= 0; --y) {
        std::vector<uint8_t> row(size_t(mrb), 0);
        for (int x = 0; x < im.w; ++x) {
            bool clear = ix ? im.px[size_t(y) * im.w + x][3] < 128 : im.px[size_t(y) * im.w + x][3] == 0;
            if (clear) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
        }
        for (auto v : row) o.u8(v);
    }
    return o;
}

Image renderIcon(int size) {
    Canvas cv(size, size);
    drawAppIcon(cv);
    return toImage(cv);
}

}  // namespace

int main(int argc, char** argv) {
    std::string dir = argc > 1 ? argv[1] : "src/resources";
    const Rgb grey{192, 192, 192};

    // Toolbar strips, 16 pictures of 24 x 24 (100 %), 36 x 36 (150 %) and 48 x 48 (200 %).
    struct Size {
        int px;
        Grid grid;
        std::string suffix;
    };
    for (const Size& size : {Size{24, {1, 1}, ""}, Size{36, {1.5, 1}, "_36"}, Size{48, {2, 2}, "_48"}}) {
        int n = size.px, w = 16 * n;
        Image strip{w, n, std::vector<std::array<uint8_t, 4>>(size_t(w) * n)};
        auto pics = toolbarPictures();
        for (int i = 0; i < 16; ++i) {
            Canvas cv(n, n);
            pics[size_t(i)](cv, size.grid);
            Image one = toImage(cv);
            for (int y = 0; y < n; ++y)
                for (int x = 0; x < n; ++x) strip.px[size_t(y) * w + i * n + x] = one.px[size_t(y) * n + x];
        }
        writeBmp(dir + "/toolbar32" + size.suffix + ".bmp", dib32(strip, n), 0);
        Indexed tb8 = quantise(flatten(strip, grey), &grey);
        writeBmp(dir + "/toolbar8" + size.suffix + ".bmp", dib8(w, n, tb8, n), uint32_t(tb8.palette.size() * 4));
    }

    // Insertion mark (blue edge, light blue inside) and its white eraser, 4 x 132.
    {
        Indexed mark{{{64, 64, 255}, {192, 192, 255}}, std::vector<uint8_t>(4 * 132)};
        for (int y = 0; y < 132; ++y)
            for (int x = 0; x < 4; ++x) mark.idx[size_t(y) * 4 + x] = (x == 0 || x == 3 || y == 0 || y == 131) ? 0 : 1;
        writeBmp(dir + "/insertmark.bmp", dib8(4, 132, mark, 132), 8);
        Indexed white{{{255, 255, 255}}, std::vector<uint8_t>(4 * 132, 0)};
        writeBmp(dir + "/inserterase.bmp", dib8(4, 132, white, 132), 4);
    }

    // Program icon: 32, 48 and 16 pixels with alpha, then 16, 48 and 32 in 256 colours.
    {
        std::vector<Bytes> images;
        std::vector<std::array<int, 2>> entries;  // size, bits per pixel
        // 32 x 32 is both the first and the last entry: LoadImageA with size 0, 0 takes the
        // first entry of the group, and wrc stores the group in reverse order (windres does
        // not), so either way the icon's own size is the standard 32 x 32.
        for (int s : {32, 48, 16}) {
            images.push_back(iconImage(renderIcon(s), nullptr));
            entries.push_back({s, 32});
        }
        for (int s : {16, 48, 32}) {
            Image im = renderIcon(s);
            std::vector<Rgb> flat(im.px.size());
            for (size_t i = 0; i < im.px.size(); ++i) {
                auto p = im.px[i];
                // The AND mask decides coverage; masked pixels must be black. Kept edge
                // pixels are lightened a little rather than darkened by the black.
                double a = p[3] >= 128 ? 1.0 : 0.0;
                double t = std::min(1.0, p[3] / 255.0 * 1.6);
                for (int k = 0; k < 3; ++k) flat[i][k] = uint8_t(std::lround(a * (p[k] * t + 255 * (1 - t))));
            }
            Indexed ix = quantise(flat, nullptr);
            while (ix.palette.size() < 256) ix.palette.push_back({0, 0, 0});
            images.push_back(iconImage(im, &ix));
            entries.push_back({s, 8});
        }
        Bytes o;
        o.u16(0), o.u16(1), o.u16(unsigned(images.size()));
        uint32_t offset = uint32_t(6 + 16 * images.size());
        for (size_t i = 0; i < images.size(); ++i) {
            o.u8(unsigned(entries[i][0])), o.u8(unsigned(entries[i][0]));
            o.u8(0), o.u8(0);  // colour count 0 (256 or more), reserved
            o.u16(1), o.u16(unsigned(entries[i][1]));
            o.u32(uint32_t(images[i].b.size()));
            o.u32(offset);
            offset += uint32_t(images[i].b.size());
        }
        for (auto& im : images) o.append(im);
        writeFile(dir + "/tolvane.ico", o);
    }
    return 0;
}
