// Shows the skin without a host: writes a PNG contact sheet of every bitmap
// (a few images of each strip) and a PNG of the panel with every knob and
// slider drawn in its place, rendered by the toolkit's headless frame.
//
// usage: orvel_skinsheet OUTDIR
#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

#include "../generators/SkinTable.h"
#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/CMovieBitmap.h"
#include "gui/SkinBitmaps.h"

namespace {

bool writePng(const std::string& path, const CDrawContext& image) {
    std::string tmp = path + ".tmp";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    volatile bool ok = png && info;
    std::vector<png_byte> row(size_t(image.getWidth()) * 3);
    if (ok && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, f);
        png_set_IHDR(png, info, png_uint_32(image.getWidth()), png_uint_32(image.getHeight()), 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (CCoord y = 0; y < image.getHeight(); ++y) {
            for (CCoord x = 0; x < image.getWidth(); ++x) {
                uint32_t p = image.getPixel(x, y);
                row[size_t(x) * 3] = png_byte(p >> 16);
                row[size_t(x) * 3 + 1] = png_byte(p >> 8);
                row[size_t(x) * 3 + 2] = png_byte(p);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
    } else {
        ok = false;
    }
    png_destroy_write_struct(&png, &info);
    bool written = std::fclose(f) == 0 && ok;
    if (written) written = std::rename(tmp.c_str(), path.c_str()) == 0;
    if (!written) std::remove(tmp.c_str());
    return written;
}

// Up to eight images of each strip side by side, labelled with id and size.
bool writeSheet(const std::string& path) {
    const CCoord width = 1400, gap = 12, labelHeight = 14;
    struct Cell {
        const SkinEntry* entry;
        CRect place;
    };
    std::vector<Cell> cells;
    CCoord x = gap, y = gap, rowHeight = 0;
    for (const SkinEntry& e : skinTable()) {
        const CCoord imageHeight = e.height / e.images;
        const int shown = e.images > 8 ? 8 : e.images;
        CCoord w = std::max<CCoord>(shown * (e.width + 2), 70), h = imageHeight + labelHeight;
        if (x + w + gap > width) {
            x = gap;
            y += rowHeight + gap;
            rowHeight = 0;
        }
        cells.push_back({&e, CRect(x, y, x + w, y + h)});
        x += w + gap;
        rowHeight = std::max(rowHeight, h);
    }
    COffscreenContext sheet(width, y + rowHeight + gap);
    sheet.setFillColor(CColor{40, 42, 46, 255});
    sheet.fillRect(CRect(0, 0, sheet.getWidth(), sheet.getHeight()));
    sheet.setFont(CFontDesc{"Arial", 10, kNormalFace});
    sheet.setFontColor(CColor{200, 205, 212, 255});
    for (const Cell& c : cells) {
        const SkinEntry& e = *c.entry;
        CBitmap* b = skin::getBitmap(e.id);
        if (!b) return false;
        const CCoord imageHeight = e.height / e.images;
        const int shown = e.images > 8 ? 8 : e.images;
        for (int i = 0; i < shown; ++i) {
            int index = shown > 1 ? i * (e.images - 1) / (shown - 1) : 0;
            CCoord left = c.place.left + i * (e.width + 2);
            b->draw(&sheet, CRect(left, c.place.top, left + e.width, c.place.top + imageHeight),
                    CPoint(0, index * imageHeight));
        }
        char label[64];
        std::snprintf(label, sizeof label, "%d  %dx%d/%d", e.id, e.width, e.height, e.images);
        sheet.drawString(label, CRect(c.place.left, c.place.bottom - labelHeight, c.place.right + 40, c.place.bottom),
                         kLeftText);
    }
    return writePng(path, sheet);
}

// The panel as an editor shows it, every knob and slider at some value.
bool writePanel(const std::string& path) {
    CFrame frame(CRect(0, 0, 682, 425), nullptr, nullptr);
    frame.setBackground(skin::getBitmap(1000));
    int n = 0;
    for (const SkinEntry& e : skinTable()) {
        if (e.look != Look::Knob && e.look != Look::VSlider && e.look != Look::HSlider && e.look != Look::OutputMeter &&
            e.look != Look::RoundMeter)
            continue;
        if (e.id == 1039 || e.id == 1040) continue; // the LFO page shares its places with the follower page
        const CCoord h = e.height / e.images;
        auto* view = new CMovieBitmap(CRect(e.left, e.top, e.left + e.width, e.top + h), nullptr, e.id, e.images, h,
                                      skin::getBitmap(e.id));
        const float values[] = {0.0f, 0.25f, 0.5f, 0.7f, 1.0f, 0.35f, 0.85f};
        view->setValue(values[n++ % 7]);
        frame.addView(view);
    }
    frame.redrawDirty();
    return writePng(path, frame.offscreen());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    skin::acquireBitmaps();
    std::string dir = argv[1];
    bool ok = writeSheet(dir + "/skin-sheet.png") && writePanel(dir + "/skin-panel.png");
    skin::releaseBitmaps();
    if (!ok) {
        std::fprintf(stderr, "cannot write the pictures to %s\n", dir.c_str());
        return 1;
    }
    std::printf("%s/skin-sheet.png\n%s/skin-panel.png\n", dir.c_str(), dir.c_str());
    return 0;
}
