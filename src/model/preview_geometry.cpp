#include "model/preview_geometry.h"

#include <algorithm>
#include <cmath>

// The nearest integer, halves away from zero.
static int Nearest(double x)
{
    return (int)std::lround(x);
}

PreviewGeometry ComputePreviewGeometry(double widthPoints, double heightPoints)
{
    int w = (int)widthPoints, h = (int)heightPoints;
    double L = std::max(w, h), S = std::min(w, h);
    PreviewGeometry g;
    double T = L > 108 ? 192.0 * L / (L - 108) : 192.0;  // no paper is that small
    g.PL = Nearest(T);
    g.PS = Nearest(T * S / L);
    g.M = Nearest(36 * T / L);
    g.GL = g.PL - 2 * g.M - 192;
    g.A = Nearest(96 * S / L);
    g.G = Nearest((g.PS - 2 * g.A) / 3.0);
    g.E = g.PL + 4;
    return g;
}

PreviewPage LandscapePreviewPage(const PreviewGeometry& g)
{
    return PreviewPage{g.PL, g.PS, g.M, g.G, g.GL, g.G};
}

void TurnPreviewPage(PreviewPage* p)
{
    std::swap(p->W, p->H);
    std::swap(p->mx, p->my);
    std::swap(p->gx, p->gy);
}

bool PreviewPageTurns(LayoutMode layout, int pw, int ph, const PreviewPage& page)
{
    bool wide = pw > ph, tall = ph > pw;
    if (layout == LayoutTwoPerPage)
        return (wide && page.W > page.H) || (tall && page.W < page.H);
    return (wide && page.W < page.H) || (tall && page.W > page.H);
}

PreviewCells LayOutPreviewCells(LayoutMode layout, int E, const PreviewPage& p)
{
    PreviewCells c;
    c.ox = 1;
    c.oy = 1;
    if (p.W < p.H) c.ox = (E - p.W) / 2 + 1;
    if (p.W > p.H) c.oy = (E - p.H) / 2 + 1;
    int x0 = c.ox + p.mx, y0 = c.oy + p.my;
    c.count = ImagesPerPage(layout);
    if (c.count == 1) {
        c.cw = p.W - 2 * p.mx;
        c.ch = p.H - 2 * p.my;
        c.x[0] = x0;
        c.y[0] = y0;
    } else if (c.count == 2 && p.W < p.H) {
        c.cw = p.W - 2 * p.mx;
        c.ch = (p.H - 2 * p.my - p.gy) / 2;
        c.x[0] = c.x[1] = x0;
        c.y[0] = y0;
        c.y[1] = y0 + c.ch + p.gy;
    } else if (c.count == 2) {
        c.cw = (p.W - 2 * p.mx - p.gx) / 2;
        c.ch = p.H - 2 * p.my;
        c.x[0] = x0;
        c.x[1] = x0 + c.cw + p.gx;
        c.y[0] = c.y[1] = y0;
    } else {
        c.cw = (p.W - 2 * p.mx - p.gx) / 2;
        c.ch = (p.H - 2 * p.my - p.gy) / 2;
        c.x[0] = c.x[2] = x0;
        c.x[1] = c.x[3] = x0 + c.cw + p.gx;
        c.y[0] = c.y[1] = y0;
        c.y[2] = c.y[3] = y0 + c.ch + p.gy;
    }
    return c;
}

void FitPreviewPicture(int pw, int ph, int cw, int ch, int* dw, int* dh)
{
    if (pw <= 0 || ph <= 0) {  // nothing to fit: keep the call harmless
        *dw = *dh = 0;
        return;
    }
    if (pw > ph) {
        int h = Nearest((double)cw * ph / pw);
        if (h <= ch) {
            *dw = cw;
            *dh = h;
        } else {
            *dw = Nearest((double)pw * ch / ph);
            *dh = ch;
        }
    } else if (ph > pw) {
        int w = Nearest((double)ch * pw / ph);
        if (w <= cw) {
            *dw = w;
            *dh = ch;
        } else {
            *dw = cw;
            *dh = Nearest((double)ph * cw / pw);
        }
    } else {
        *dw = *dh = std::min(cw, ch);
    }
}
