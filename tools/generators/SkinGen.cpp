// Draws every bitmap of the skin and writes them as 24-bit .bmp files, with
// the table that links them into the Linux module and the resource script
// of the Windows DLLs.
//
// usage: orvel_skingen REGULAR.ttf BOLD.ttf OUTDIR
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "SkinCanvas.h"
#include "SkinTable.h"

namespace {

const float kPi = 3.14159265f;
const float kKnobStart = -0.75f * kPi, kKnobEnd = 0.75f * kPi;

const Rgb kPanelTop = rgb(0x2a2d32), kPanelBottom = rgb(0x1c1e22);
const Rgb kSectionTop = rgb(0x30343a), kSectionBottom = rgb(0x24272c);
const Rgb kEdge = rgb(0x454a52), kShadow = rgb(0x0e0f11);
const Rgb kLabel = rgb(0xc9ced6), kDimLabel = rgb(0x80868f);
const Rgb kLcd = rgb(0x0b0d0f), kLcdEdge = rgb(0x3a3f46);

struct Section {
    int l, t, r, b;
    const char* title;
    unsigned accent;
};
const Section kSections[] = {
    {11, 71, 83, 403, "GATE", kGate},        {91, 71, 164, 403, "PREAMP", kPreamp},
    {171, 71, 244, 403, "COMP", kComp},      {251, 71, 395, 403, "MULTIBAND", kMulti},
    {403, 71, 672, 298, nullptr, kFilter},   {403, 300, 672, 420, nullptr, kMaster},
};

void section(SkinCanvas& c, const Section& s) {
    c.roundRect(float(s.l) + 1, float(s.t) + 2, float(s.r) + 1, float(s.b) + 2, 5, kShadow, kShadow, 0.6f);
    c.roundRect(float(s.l), float(s.t), float(s.r), float(s.b), 5, kSectionTop, kSectionBottom);
    c.roundFrame(float(s.l), float(s.t), float(s.r), float(s.b), 5, 1, kEdge);
    if (s.title) {
        Rgb accent = rgb(s.accent);
        c.fillRect(float(s.l) + 6, float(s.t) + 17, float(s.r) - 6, float(s.t) + 18, accent, 0.8f);
        c.text(s.title, float(s.l + s.r) / 2, float(s.t) + 13, 9.5f, kLabel);
    }
}

void screw(SkinCanvas& c, float x, float y) {
    c.shadedCircle(x, y, 3.5f, rgb(0x8a9099), rgb(0x3a3e44));
    c.line(x - 2, y - 2, x + 2, y + 2, 0.9f, rgb(0x24272b));
}

// The panel itself: sections, labels under the controls' places, brand.
SkinCanvas drawBackground() {
    SkinCanvas c(682, 425);
    c.gradientRect(0, 0, 682, 425, kPanelTop, kPanelBottom);
    // brushed texture: faint horizontal lines
    for (int y = 0; y < 425; y += 2) c.fillRect(0, float(y), 682, float(y) + 0.5f, rgb(0xffffff), 0.012f);
    // top bar
    c.gradientRect(0, 0, 682, 60, rgb(0x17191c), rgb(0x111214));
    c.fillRect(0, 60, 682, 61, kEdge);
    c.text("ORVEL", 664, 38, 26, kLabel, Align::Right);
    c.text("TAMBLOR  STEREO CHANNEL PROCESSOR", 664, 52, 7.5f, kDimLabel, Align::Right, false);
    c.fillRect(452, 44, 664, 45, rgb(kMaster), 0.9f);
    for (const Section& s : kSections) section(c, s);
    // effects sub-areas
    for (const SkinWord& w : panelWords()) {
        const Align align = w.align == SkinAlign::Left ? Align::Left : w.align == SkinAlign::Right ? Align::Right : Align::Centre;
        c.text(w.text, w.x, w.baseline, w.size, w.colour ? rgb(w.colour) : kDimLabel, align);
    }
    c.fillRect(540, 80, 541, 290, kEdge, 0.8f);
    // labels above knobs and sliders
    for (const SkinEntry& e : skinTable()) {
        if ((e.look != Look::Knob && e.look != Look::VSlider) || e.words.empty()) continue;
        const float x = e.labelAtLeft ? float(e.left) + 1 : float(e.left) + float(e.width) / 2;
        c.text(e.words[0], x, float(e.top) - kLabelRaise, kLabelSize, kLabel, e.labelAtLeft ? Align::Left : Align::Centre);
    }
    // slider scale marks on the panel beside each fader
    for (const SkinEntry& e : skinTable()) {
        if (e.look != Look::VSlider) continue;
        for (int i = 0; i <= 10; ++i) {
            float y = float(e.top) + 7 + float(i) * 6.8f;
            float len = i % 5 == 0 ? 4.f : 2.5f;
            c.fillRect(float(e.left) - len + 1, y, float(e.left) + 1, y + 0.8f, kDimLabel, 0.9f);
        }
    }
    screw(c, 6, 6);
    screw(c, 676, 6);
    screw(c, 6, 419);
    screw(c, 676, 419);
    return c;
}

void drawKnob(SkinCanvas& c, float v, Rgb accent) {
    const float cx = 26, cy = 26;
    c.circle(cx, cy + 1.5f, 19, kShadow, 0.5f);
    c.arc(cx, cy, 20.5f, 24, kKnobStart, kKnobEnd, rgb(0x101215));
    float a = kKnobStart + v * (kKnobEnd - kKnobStart);
    c.arc(cx, cy, 21, 23.5f, kKnobStart, a, accent);
    // skirt and cap
    c.shadedCircle(cx, cy, 18, rgb(0x5a5f67), rgb(0x1f2226));
    c.shadedCircle(cx, cy, 15, rgb(0x3e4248), rgb(0x2a2d32));
    // fine grip ring
    for (int i = 0; i < 24; ++i) {
        float g = float(i) * 2 * kPi / 24;
        c.line(cx + 16.f * std::sin(g), cy - 16.f * std::cos(g), cx + 17.5f * std::sin(g), cy - 17.5f * std::cos(g),
               0.8f, rgb(0x15171a), 0.7f);
    }
    c.line(cx + 5 * std::sin(a), cy - 5 * std::cos(a), cx + 14 * std::sin(a), cy - 14 * std::cos(a), 2.6f,
           rgb(0xf2f4f7));
}

void drawVSlider(SkinCanvas& c, float v, Rgb accent) {
    const float top = 7, bottom = 75, x = 12;
    c.roundRect(x - 2.5f, top - 2, x + 2.5f, bottom + 2, 2.5f, rgb(0x0b0c0e), rgb(0x17191c));
    float capY = top + (1 - v) * (bottom - top);
    c.roundRect(x - 1.2f, capY, x + 1.2f, bottom, 1.2f, accent, scaleRgb(accent, 0.6f), 0.9f);
    c.roundRect(x - 10, capY - 6 + 1.5f, x + 10, capY + 6 + 1.5f, 2, kShadow, kShadow, 0.6f);
    c.roundRect(x - 10, capY - 6, x + 10, capY + 6, 2, rgb(0x70757d), rgb(0x2b2e33));
    c.fillRect(x - 9, capY - 0.7f, x + 9, capY + 0.7f, rgb(0xf2f4f7));
}

void drawHSlider(SkinCanvas& c, float v, Rgb accent) {
    const float left = 8, right = float(c.width()) - 8, y = float(c.height()) / 2;
    c.roundRect(left - 2, y - 2.5f, right + 2, y + 2.5f, 2.5f, rgb(0x0b0c0e), rgb(0x17191c));
    for (int i = 0; i <= 10; ++i) {
        float x = left + float(i) * (right - left) / 10;
        c.fillRect(x - 0.4f, y + 5, x + 0.4f, y + (i % 5 == 0 ? 9.f : 7.f), kDimLabel);
    }
    float capX = left + v * (right - left);
    c.roundRect(left, y - 1.2f, capX, y + 1.2f, 1.2f, accent, scaleRgb(accent, 0.7f), 0.9f);
    float hh = std::min(10.f, y - 1);
    c.roundRect(capX - 5, y - hh, capX + 5, y + hh, 2, rgb(0x70757d), rgb(0x2b2e33));
    c.fillRect(capX - 0.7f, y - hh + 1, capX + 0.7f, y + hh - 1, rgb(0xf2f4f7));
}

void lcd(SkinCanvas& c, float l, float t, float r, float b, Rgb tint) {
    c.roundRect(l, t, r, b, 2, kLcdEdge, rgb(0x5a6068));
    c.roundRect(l + 1, t + 1, r - 1, b - 1, 1.5f, mixRgb(kLcd, tint, 0.05f), mixRgb(kLcd, tint, 0.12f));
}

void drawOutputMeter(SkinCanvas& c, float v, Rgb accent) {
    lcd(c, 0, 0, 84, 47, rgb(0xf0e0b0));
    const float cx = 42, cy = 62;
    const float a0 = -0.28f * kPi, a1 = 0.28f * kPi;
    c.arc(cx, cy, 44, 45.2f, a0, a0 + 0.75f * (a1 - a0), kLabel, 0.8f);
    c.arc(cx, cy, 44, 47, a0 + 0.75f * (a1 - a0), a1, accent);
    for (int i = 0; i <= 8; ++i) {
        float a = a0 + float(i) / 8 * (a1 - a0);
        c.line(cx + 45 * std::sin(a), cy - 45 * std::cos(a), cx + 49 * std::sin(a), cy - 49 * std::cos(a), 0.8f,
               i >= 6 ? accent : kLabel);
    }
    c.text("VU", 42, 40, 7, kDimLabel);
    float a = a0 + v * (a1 - a0);
    c.line(cx + 20 * std::sin(a), cy - 20 * std::cos(a), cx + 49 * std::sin(a), cy - 49 * std::cos(a), 1.1f,
           rgb(0xf2f4f7));
}

void drawReduction(SkinCanvas& c, int index, int count, Rgb accent) {
    c.fillRect(0, 0, 10, 100, kLcd);
    int lit = count - 1 - index; // the strip shows the complement of the reduction
    const int segments = 16;
    for (int s = 0; s < segments; ++s) {
        float t = 2 + float(s) * 6;
        bool on = float(s) < float(lit) / float(count - 1) * segments - 0.01f;
        c.roundRect(2, t, 8, t + 4.5f, 1, on ? accent : rgb(0x23262a), on ? scaleRgb(accent, 0.8f) : rgb(0x1c1e21));
    }
}

void drawRoundMeter(SkinCanvas& c, float v, Rgb accent) {
    c.shadedCircle(14, 14, 13, rgb(0x555a62), rgb(0x1a1c1f));
    c.circle(14, 14, 10, rgb(0x101214));
    c.circle(14, 14, 9, mixRgb(rgb(0x1c1f22), accent, v));
    c.circle(12, 11, 3.5f, rgb(0xffffff), 0.15f + 0.35f * v);
}

void drawRateLamp(SkinCanvas& c, float v, Rgb accent) {
    c.shadedCircle(19, 19, 18, rgb(0x3b3f45), rgb(0x1a1c1f));
    c.arc(19, 19, 13, 16, kKnobStart, kKnobEnd, rgb(0x101215));
    c.arc(19, 19, 13.5f, 15.5f, kKnobStart, kKnobStart + v * (kKnobEnd - kKnobStart), accent);
    c.circle(19, 19, 5 + 3 * v, accent, 0.25f + 0.6f * v);
    c.circle(19, 19, 3, mixRgb(rgb(0x2a2d32), rgb(0xffffff), v));
}

void drawCover(SkinCanvas& c, const std::string& title, Rgb accent) {
    float w = float(c.width()), h = float(c.height());
    c.dim(0, 0, w, h, 0.35f);
    for (float x = -h; x < w; x += 9) c.line(x, h, x + h, 0, 1.2f, rgb(0x000000), 0.25f);
    c.roundFrame(1, 1, w - 1, h - 1, 5, 1, scaleRgb(accent, 0.5f));
    c.roundRect(w / 2 - 30, h / 2 - 16, w / 2 + 30, h / 2 + 16, 4, rgb(0x1a1c1f), rgb(0x121315));
    c.text(title, w / 2, h / 2 - 2, title.size() > 6 ? 8.f : 9.5f, kLabel);
    c.text("OFF", w / 2, h / 2 + 11, 8, accent);
}

// A button or menu face with one word; lit states glow in the accent colour.
void drawTextState(SkinCanvas& c, float y0, float w, float h, const std::string& word, bool lit, Rgb accent) {
    c.roundRect(0, y0, w, y0 + h, 2.5f, rgb(0x0c0d0f), rgb(0x0c0d0f));
    if (lit)
        c.roundRect(0.8f, y0 + 0.8f, w - 0.8f, y0 + h - 0.8f, 2, mixRgb(accent, rgb(0xffffff), 0.25f),
                    scaleRgb(accent, 0.75f));
    else
        c.roundRect(0.8f, y0 + 0.8f, w - 0.8f, y0 + h - 0.8f, 2, rgb(0x4a4e55), rgb(0x2c2f34));
    float size = h >= 13 ? 8.f : 7.f;
    c.text(word, w / 2, y0 + h / 2 + size * 0.36f, size, lit ? rgb(0x101214) : kLabel);
}

void drawArrow(SkinCanvas& c, float y0, float w, float h, const std::string& dir, bool pressed) {
    c.roundRect(0, y0, w, y0 + h, 3, pressed ? rgb(0x2a2d32) : rgb(0x4a4e55), pressed ? rgb(0x3a3e44) : rgb(0x2a2d32));
    c.roundFrame(0, y0, w, y0 + h, 3, 0.8f, rgb(0x0c0d0f));
    float cx = w / 2, cy = y0 + h / 2, s = std::min(w, h) * 0.26f;
    Rgb col = pressed ? rgb(kMaster) : kLabel;
    if (dir == "left") c.triangle(cx - s, cy, cx + s * 0.8f, cy - s, cx + s * 0.8f, cy + s, col);
    if (dir == "right") c.triangle(cx + s, cy, cx - s * 0.8f, cy - s, cx - s * 0.8f, cy + s, col);
    if (dir == "up") c.triangle(cx, cy - s, cx - s, cy + s * 0.8f, cx + s, cy + s * 0.8f, col);
    if (dir == "down") c.triangle(cx, cy + s, cx - s, cy - s * 0.8f, cx + s, cy - s * 0.8f, col);
}

SkinCanvas drawEntry(const SkinEntry& e, const SkinCanvas& panel) {
    const int frameH = e.height / e.images;
    SkinCanvas strip(e.width, e.height, rgb(0x202226));
    Rgb accent = rgb(e.accent);
    if (e.look == Look::Background) return panel;
    if (e.look == Look::Display || e.look == Look::TitleDisplay) {
        for (int i = 0; i < e.images; ++i) {
            float y = float(i * frameH);
            Rgb tint = e.look == Look::TitleDisplay ? mixRgb(rgb(0x40c0ff), accent, float(i) / 4) : accent;
            lcd(strip, 0, y, float(e.width), y + float(frameH), tint);
        }
        return strip;
    }
    if (e.look == Look::Cover) {
        SkinCanvas c = panel.crop(e.left, e.top, e.width, e.height);
        drawCover(c, e.words[0], accent);
        return c;
    }
    for (int i = 0; i < e.images; ++i) {
        float v = e.images > 1 ? float(i) / float(e.images - 1) : 0.f;
        SkinCanvas frame = e.left >= 0 ? panel.crop(e.left, e.top, e.width, frameH) : SkinCanvas(e.width, frameH, rgb(0x202226));
        switch (e.look) {
        case Look::Knob: drawKnob(frame, v, accent); break;
        case Look::VSlider: drawVSlider(frame, v, accent); break;
        case Look::HSlider: drawHSlider(frame, v, accent); break;
        case Look::OutputMeter: drawOutputMeter(frame, v, accent); break;
        case Look::ReductionMeter: drawReduction(frame, i, e.images, accent); break;
        case Look::RoundMeter: drawRoundMeter(frame, v, accent); break;
        case Look::RateLamp: drawRateLamp(frame, v, accent); break;
        case Look::TextStates: {
            bool lit = e.images == 2 ? i == 1 : true;
            drawTextState(frame, 0, float(e.width), float(frameH), e.words[size_t(i) % e.words.size()], lit, accent);
            break;
        }
        case Look::Arrow: drawArrow(frame, 0, float(e.width), float(frameH), e.words[0], i == 1); break;
        case Look::HelpButton:
            frame.shadedCircle(9.5f, 9.5f, 9, i ? rgb(0x2a2d32) : rgb(0x555a62), i ? rgb(0x3a3e44) : rgb(0x24272b));
            frame.text("?", 9.5f, 13.5f, 11, i ? rgb(kMaster) : kLabel);
            break;
        case Look::Led: {
            float cx = float(e.width) / 2, cy = float(frameH) / 2, r = std::min(cx, cy) - 1;
            frame.circle(cx, cy, r, rgb(0x0c0d0f));
            bool on = e.images == 1 || i == 1;
            frame.circle(cx, cy, r - 1, on ? accent : rgb(0x2a2d32));
            if (on) frame.circle(cx - r * 0.3f, cy - r * 0.3f, r * 0.35f, rgb(0xffffff), 0.4f);
            break;
        }
        default: break;
        }
        strip.paste(frame, 0, i * frameH);
    }
    return strip;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s REGULAR.ttf BOLD.ttf OUTDIR\n", argv[0]);
        return 2;
    }
    if (!SkinCanvas::loadFonts(argv[1], argv[2])) {
        std::fprintf(stderr, "cannot read the fonts\n");
        return 1;
    }
    const std::string dir = argv[3];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    const auto& table = skinTable();
    std::set<int> ids;
    for (const SkinEntry& e : table) {
        if (e.id < 1000 || e.id > 1068 || !ids.insert(e.id).second || e.images < 1 || e.height % e.images) {
            std::fprintf(stderr, "bad skin table entry %d\n", e.id);
            return 1;
        }
    }
    if (ids.size() != 69) {
        std::fprintf(stderr, "the skin table has %zu bitmaps, not 69\n", ids.size());
        return 1;
    }

    SkinCanvas panel = drawBackground();
    for (const SkinEntry& e : table) {
        SkinCanvas c = drawEntry(e, panel);
        if (!writeBmp(dir + "/" + std::to_string(e.id) + ".bmp", e.width, e.height, c.pixels())) {
            std::fprintf(stderr, "cannot write bitmap %d\n", e.id);
            return 1;
        }
    }

    // Linux: the files linked into the module, in id order.
    std::ostringstream cpp;
    cpp << "// Generated by orvel_skingen; do not edit.\n#include \"gui/EmbeddedBitmaps.h\"\n\n";
    cpp << "__asm__(\".pushsection .rodata\\n\"\n";
    for (int id : ids)
        cpp << "    \".balign 16\\n.hidden orvel_skin_" << id << "\\n.globl orvel_skin_" << id << "\\norvel_skin_" << id
            << ":\\n.incbin \\\"" << dir << "/" << id << ".bmp\\\"\\n.hidden orvel_skin_" << id << "_end\\n.globl orvel_skin_"
            << id << "_end\\norvel_skin_" << id << "_end:\\n\"\n";
    cpp << "    \".popsection\\n\");\n\nextern \"C\" {\n";
    for (int id : ids)
        cpp << "extern const uint8_t orvel_skin_" << id << "[];\nextern const uint8_t orvel_skin_" << id << "_end[];\n";
    cpp << "}\n\nconst EmbeddedBitmap kEmbeddedBitmaps[] = {\n";
    for (int id : ids) cpp << "    {" << id << ", orvel_skin_" << id << ", orvel_skin_" << id << "_end},\n";
    cpp << "};\nconst int kEmbeddedBitmapCount = " << ids.size() << ";\n";

    // Windows: BITMAP resources with the same ids.
    std::ostringstream rc;
    rc << "// Generated by orvel_skingen; do not edit.\n";
    for (int id : ids) rc << id << " BITMAP \"" << dir << "/" << id << ".bmp\"\n";

    for (auto [name, text] : {std::pair{"EmbeddedBitmaps.cpp", cpp.str()}, std::pair{"skin.rc", rc.str()}}) {
        std::string path = dir + "/" + name, tmp = path + ".tmp";
        {
            std::ofstream out(tmp, std::ios::binary);
            out << text;
            if (!out) return 1;
        }
        if (std::rename(tmp.c_str(), path.c_str()) != 0) return 1;
    }
    return 0;
}
