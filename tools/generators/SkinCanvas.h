// A supersampled drawing surface for the skin: shapes are tested at S x S
// points per pixel and averaged down, which antialiases every edge.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    float r = 0, g = 0, b = 0;
};
inline Rgb rgb(uint32_t hex) { return {float(hex >> 16 & 255) / 255.f, float(hex >> 8 & 255) / 255.f, float(hex & 255) / 255.f}; }
inline Rgb mixRgb(Rgb a, Rgb b, float t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
inline Rgb scaleRgb(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }

enum class Align { Left, Centre, Right };

class SkinCanvas {
public:
    static constexpr int S = 4;
    SkinCanvas(int width, int height, Rgb fill = {});

    int width() const { return w_; }
    int height() const { return h_; }

    // Calls shade(x, y) for every sample in the pixel box [x0, x1) x [y0, y1);
    // x and y are in pixel units. shade answers the coverage 0..1 and sets
    // the colour.
    template <typename F> void paint(float x0, float y0, float x1, float y1, F&& shade) {
        int sx0 = std::max(0, int(std::floor(x0 * S))), sy0 = std::max(0, int(std::floor(y0 * S)));
        int sx1 = std::min(w_ * S, int(std::ceil(x1 * S))), sy1 = std::min(h_ * S, int(std::ceil(y1 * S)));
        for (int sy = sy0; sy < sy1; ++sy)
            for (int sx = sx0; sx < sx1; ++sx) {
                Rgb c;
                float a = shade((float(sx) + 0.5f) / S, (float(sy) + 0.5f) / S, c);
                if (a <= 0) continue;
                Rgb& d = px_[size_t(sy) * size_t(w_ * S) + size_t(sx)];
                d = a >= 1 ? c : mixRgb(d, c, a);
            }
    }

    void fillRect(float l, float t, float r, float b, Rgb c, float alpha = 1);
    void gradientRect(float l, float t, float r, float b, Rgb top, Rgb bottom);
    void roundRect(float l, float t, float r, float b, float radius, Rgb top, Rgb bottom, float alpha = 1);
    void roundFrame(float l, float t, float r, float b, float radius, float width, Rgb c, float alpha = 1);
    void circle(float cx, float cy, float radius, Rgb c, float alpha = 1);
    // A circle lit from above: 'top' at the top edge, 'bottom' at the bottom.
    void shadedCircle(float cx, float cy, float radius, Rgb top, Rgb bottom);
    // A ring between two radii from angle a0 to a1 (radians, 0 up, clockwise).
    void arc(float cx, float cy, float r0, float r1, float a0, float a1, Rgb c, float alpha = 1);
    // A line of the given width with round ends.
    void line(float x0, float y0, float x1, float y1, float width, Rgb c, float alpha = 1);
    void triangle(float x0, float y0, float x1, float y1, float x2, float y2, Rgb c, float alpha = 1);
    // Text with its baseline at y; x is its left, centre or right.
    void text(const std::string& s, float x, float baseline, float size, Rgb c, Align align = Align::Centre,
              bool bold = true, float alpha = 1);
    // Multiplies a box by k (darkens with k < 1).
    void dim(float l, float t, float r, float b, float k);

    // Copies another canvas in with its top left at (left, top).
    void paste(const SkinCanvas& from, int left, int top);
    SkinCanvas crop(int left, int top, int width, int height) const;
    // 8-bit RGB, rows from the top.
    std::vector<uint8_t> pixels() const;

    static bool loadFonts(const std::string& regular, const std::string& bold);

private:
    int w_, h_;
    std::vector<Rgb> px_;
};

// Writes a 24-bit uncompressed .bmp through a temporary file.
bool writeBmp(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);
