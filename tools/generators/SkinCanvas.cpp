#include "SkinCanvas.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace {
FT_Library gLibrary = nullptr;
FT_Face gFaces[2] = {nullptr, nullptr};

float clamp01(float v) { return v < 0 ? 0 : v > 1 ? 1 : v; }
float angleOf(float dx, float dy) { // 0 up, clockwise, -pi..pi
    return std::atan2(dx, -dy);
}
} // namespace

SkinCanvas::SkinCanvas(int width, int height, Rgb fill)
    : w_(width), h_(height), px_(size_t(width * S) * size_t(height * S), fill) {}

bool SkinCanvas::loadFonts(const std::string& regular, const std::string& bold) {
    if (FT_Init_FreeType(&gLibrary)) return false;
    return FT_New_Face(gLibrary, regular.c_str(), 0, &gFaces[0]) == 0 &&
           FT_New_Face(gLibrary, bold.c_str(), 0, &gFaces[1]) == 0;
}

void SkinCanvas::fillRect(float l, float t, float r, float b, Rgb c, float alpha) {
    paint(l, t, r, b, [&](float, float, Rgb& out) {
        out = c;
        return alpha;
    });
}

void SkinCanvas::gradientRect(float l, float t, float r, float b, Rgb top, Rgb bottom) {
    paint(l, t, r, b, [&](float, float y, Rgb& out) {
        out = mixRgb(top, bottom, clamp01((y - t) / (b - t)));
        return 1.f;
    });
}

static float roundRectDistance(float x, float y, float l, float t, float r, float b, float radius) {
    float cx = (l + r) / 2, cy = (t + b) / 2;
    float hx = (r - l) / 2 - radius, hy = (b - t) / 2 - radius;
    float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
    float ox = std::max(qx, 0.f), oy = std::max(qy, 0.f);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.f) - radius;
}

void SkinCanvas::roundRect(float l, float t, float r, float b, float radius, Rgb top, Rgb bottom, float alpha) {
    paint(l, t, r, b, [&](float x, float y, Rgb& out) {
        if (roundRectDistance(x, y, l, t, r, b, radius) > 0) return 0.f;
        out = mixRgb(top, bottom, clamp01((y - t) / (b - t)));
        return alpha;
    });
}

void SkinCanvas::roundFrame(float l, float t, float r, float b, float radius, float width, Rgb c, float alpha) {
    paint(l, t, r, b, [&](float x, float y, Rgb& out) {
        float d = roundRectDistance(x, y, l, t, r, b, radius);
        if (d > 0 || d < -width) return 0.f;
        out = c;
        return alpha;
    });
}

void SkinCanvas::circle(float cx, float cy, float radius, Rgb c, float alpha) {
    paint(cx - radius, cy - radius, cx + radius, cy + radius, [&](float x, float y, Rgb& out) {
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) > radius * radius) return 0.f;
        out = c;
        return alpha;
    });
}

void SkinCanvas::shadedCircle(float cx, float cy, float radius, Rgb top, Rgb bottom) {
    paint(cx - radius, cy - radius, cx + radius, cy + radius, [&](float x, float y, Rgb& out) {
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) > radius * radius) return 0.f;
        out = mixRgb(top, bottom, clamp01((y - (cy - radius)) / (2 * radius)));
        return 1.f;
    });
}

void SkinCanvas::arc(float cx, float cy, float r0, float r1, float a0, float a1, Rgb c, float alpha) {
    paint(cx - r1, cy - r1, cx + r1, cy + r1, [&](float x, float y, Rgb& out) {
        float dx = x - cx, dy = y - cy, d2 = dx * dx + dy * dy;
        if (d2 < r0 * r0 || d2 > r1 * r1) return 0.f;
        float a = angleOf(dx, dy);
        if (a < a0 || a > a1) return 0.f;
        out = c;
        return alpha;
    });
}

void SkinCanvas::line(float x0, float y0, float x1, float y1, float width, Rgb c, float alpha) {
    float hw = width / 2;
    float dx = x1 - x0, dy = y1 - y0, len2 = std::max(1e-6f, dx * dx + dy * dy);
    paint(std::min(x0, x1) - hw, std::min(y0, y1) - hw, std::max(x0, x1) + hw, std::max(y0, y1) + hw,
          [&](float x, float y, Rgb& out) {
              float t = clamp01(((x - x0) * dx + (y - y0) * dy) / len2);
              float px = x0 + t * dx - x, py = y0 + t * dy - y;
              if (px * px + py * py > hw * hw) return 0.f;
              out = c;
              return alpha;
          });
}

void SkinCanvas::triangle(float x0, float y0, float x1, float y1, float x2, float y2, Rgb c, float alpha) {
    auto edge = [](float ax, float ay, float bx, float by, float x, float y) {
        return (bx - ax) * (y - ay) - (by - ay) * (x - ax);
    };
    paint(std::min({x0, x1, x2}), std::min({y0, y1, y2}), std::max({x0, x1, x2}), std::max({y0, y1, y2}),
          [&](float x, float y, Rgb& out) {
              float e0 = edge(x0, y0, x1, y1, x, y), e1 = edge(x1, y1, x2, y2, x, y), e2 = edge(x2, y2, x0, y0, x, y);
              bool inside = (e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0);
              if (!inside) return 0.f;
              out = c;
              return alpha;
          });
}

void SkinCanvas::text(const std::string& s, float x, float baseline, float size, Rgb c, Align align, bool bold,
                      float alpha) {
    FT_Face face = gFaces[bold ? 1 : 0];
    if (!face) return;
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(size * S));
    // measure in samples
    long width = 0;
    for (unsigned char ch : s)
        if (FT_Load_Char(face, ch, FT_LOAD_NO_HINTING) == 0) width += face->glyph->advance.x;
    float pen = x * S;
    if (align == Align::Centre) pen -= float(width) / 128.f;
    if (align == Align::Right) pen -= float(width) / 64.f;
    const int rowStride = w_ * S;
    for (unsigned char ch : s) {
        if (FT_Load_Char(face, ch, FT_LOAD_RENDER | FT_LOAD_NO_HINTING)) continue;
        FT_GlyphSlot g = face->glyph;
        int gx = int(std::lround(pen)) + g->bitmap_left;
        int gy = int(std::lround(baseline * S)) - g->bitmap_top;
        for (unsigned row = 0; row < g->bitmap.rows; ++row)
            for (unsigned col = 0; col < g->bitmap.width; ++col) {
                int sx = gx + int(col), sy = gy + int(row);
                if (sx < 0 || sy < 0 || sx >= rowStride || sy >= h_ * S) continue;
                float a = alpha * float(g->bitmap.buffer[row * unsigned(g->bitmap.pitch) + col]) / 255.f;
                if (a <= 0) continue;
                Rgb& d = px_[size_t(sy) * size_t(rowStride) + size_t(sx)];
                d = mixRgb(d, c, a);
            }
        pen += float(g->advance.x) / 64.f;
    }
}

void SkinCanvas::dim(float l, float t, float r, float b, float k) {
    int sx0 = std::max(0, int(l * S)), sy0 = std::max(0, int(t * S));
    int sx1 = std::min(w_ * S, int(r * S)), sy1 = std::min(h_ * S, int(b * S));
    for (int sy = sy0; sy < sy1; ++sy)
        for (int sx = sx0; sx < sx1; ++sx) {
            Rgb& d = px_[size_t(sy) * size_t(w_ * S) + size_t(sx)];
            d = scaleRgb(d, k);
        }
}

void SkinCanvas::paste(const SkinCanvas& from, int left, int top) {
    for (int sy = 0; sy < from.h_ * S; ++sy)
        for (int sx = 0; sx < from.w_ * S; ++sx) {
            int x = left * S + sx, y = top * S + sy;
            if (x < 0 || y < 0 || x >= w_ * S || y >= h_ * S) continue;
            px_[size_t(y) * size_t(w_ * S) + size_t(x)] = from.px_[size_t(sy) * size_t(from.w_ * S) + size_t(sx)];
        }
}

SkinCanvas SkinCanvas::crop(int left, int top, int width, int height) const {
    SkinCanvas out(width, height);
    for (int sy = 0; sy < height * S; ++sy)
        for (int sx = 0; sx < width * S; ++sx) {
            int x = std::clamp(left * S + sx, 0, w_ * S - 1), y = std::clamp(top * S + sy, 0, h_ * S - 1);
            out.px_[size_t(sy) * size_t(width * S) + size_t(sx)] = px_[size_t(y) * size_t(w_ * S) + size_t(x)];
        }
    return out;
}

std::vector<uint8_t> SkinCanvas::pixels() const {
    std::vector<uint8_t> out(size_t(w_) * size_t(h_) * 3);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            Rgb sum;
            for (int j = 0; j < S; ++j)
                for (int i = 0; i < S; ++i) {
                    const Rgb& p = px_[size_t(y * S + j) * size_t(w_ * S) + size_t(x * S + i)];
                    sum.r += p.r;
                    sum.g += p.g;
                    sum.b += p.b;
                }
            uint8_t* o = &out[(size_t(y) * size_t(w_) + size_t(x)) * 3];
            auto q = [](float v) { return uint8_t(std::lround(clamp01(v / (S * S)) * 255.f)); };
            o[0] = q(sum.r);
            o[1] = q(sum.g);
            o[2] = q(sum.b);
        }
    return out;
}

bool writeBmp(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    const uint32_t stride = (uint32_t(width) * 3 + 3) & ~3u;
    const uint32_t imageSize = stride * uint32_t(height);
    std::vector<uint8_t> file(54 + imageSize, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + size_t(i)] = uint8_t(v >> (8 * i));
    };
    auto put16 = [&](size_t at, uint16_t v) {
        file[at] = uint8_t(v);
        file[at + 1] = uint8_t(v >> 8);
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, uint32_t(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(width));
    put32(22, uint32_t(height)); // bottom-up rows
    put16(26, 1);
    put16(28, 24);
    put32(34, imageSize);
    put32(38, 2835);
    put32(42, 2835);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = &file[54 + size_t(height - 1 - y) * stride];
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3];
            row[x * 3 + 0] = p[2];
            row[x * 3 + 1] = p[1];
            row[x * 3 + 2] = p[0];
        }
    }
    std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
        if (!out) return false;
    }
    return std::rename(tmp.c_str(), path.c_str()) == 0;
}
