// Every text on the panel whole and legible: the readouts and the preset
// menu's text drawn inside their own boxes and under no other control, and
// the skin's headings and labels clear of the controls, with the sections off
// (as a fresh instance starts), every section on, both modulation pages, and
// every parameter at either end of its range.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <vector>

#include "../../tools/generators/SkinTable.h"
#include "editor/ZuDisplay.h"
#include "editor/ZuOptionMenu.h"
#include "gui/TextLayout.h"
#include "params/ParameterTags.h"
#include "support/EditorRig.h"

namespace {

constexpr int32_t kFirstCoverGroup = 10, kLastCoverGroup = 14;

struct DrawnText {
    const CView* view;
    std::string text;
    CRect ink;
};

std::string describe(const CRect& r) {
    std::ostringstream s;
    s << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
    return s.str();
}

CRect inkOf(const std::string& text, const CFontDesc& font, const CRect& box, CHoriTxtAlign align) {
    const fontatlas::FaceInfo& face = textlayout::faceFor(font);
    const std::vector<int> codes = textlayout::decode(text.c_str());
    return textlayout::inkBox(face, codes, textlayout::place(face, codes, box, align));
}

// The texts the visible views draw, where their glyphs land.
std::vector<DrawnText> drawnTexts(const std::vector<CView*>& views) {
    std::vector<DrawnText> out;
    for (CView* v : views) {
        if (!v->isVisible()) continue;
        if (auto* d = dynamic_cast<ZuDisplay*>(v); d && d->getMode() != ZuDisplay::kImage) {
            const std::string text = d->text();
            out.push_back({v, text, inkOf(text, d->getFont(), d->getViewSize(), d->getAlignment())});
        } else if (auto* m = dynamic_cast<ZuOptionMenu*>(v); m && m->showsText()) {
            const std::string text = m->getShownText();
            out.push_back({v, text, inkOf(text, m->getFont(), m->getViewSize(), kCenterText)});
        }
    }
    return out;
}

std::vector<CView*> framesViews(EditorRig& rig) {
    std::vector<CView*> views;
    rig.editor()->getFrame()->forEachView([&](CView* v) { views.push_back(v); });
    return views;
}

// What covers a text: any other visible view over its glyphs.
// (A switched-off section's cover hides the skin's words below it on purpose.)
void expectUncovered(const std::vector<CView*>& views, const std::string& what, const CRect& ink, const CView* self,
                     const std::string& state, bool coversHide = false) {
    for (const CView* other : views) {
        if (other == self || !other->isVisible() || other->getViewSize().isEmpty()) continue;
        const auto* z = dynamic_cast<const ZuControl*>(other);
        if (coversHide && z && z->getGroup() >= kFirstCoverGroup && z->getGroup() <= kLastCoverGroup) continue;
        const auto* c = dynamic_cast<const CControl*>(other);
        EXPECT_FALSE(other->getViewSize().rectOverlap(ink))
            << state << ": " << what << " at " << describe(ink) << " meets tag " << (c ? c->getTag() : -1) << " at "
            << describe(other->getViewSize());
    }
}

void expectLegibleReadouts(EditorRig& rig, const std::string& state) {
    rig.idle();
    const std::vector<CView*> views = framesViews(rig);
    for (const DrawnText& t : drawnTexts(views)) {
        const auto* c = static_cast<const CControl*>(t.view);
        const std::string what = "\"" + t.text + "\" of tag " + std::to_string(c->getTag());
        if (t.ink.isEmpty()) continue;
        const CRect& box = t.view->getViewSize();
        EXPECT_TRUE(t.ink.left >= box.left && t.ink.right <= box.right && t.ink.top >= box.top &&
                    t.ink.bottom <= box.bottom)
            << state << ": " << what << " at " << describe(t.ink) << " is clipped by its box " << describe(box);
        expectUncovered(views, what, t.ink, t.view, state);
    }
}

// The skin's own words, measured in the atlas face nearest their size and
// scaled to it (the generator sets them at fractional sizes), rounded outwards.
void expectLegibleSkinWords(EditorRig& rig, const std::string& state) {
    const std::vector<CView*> views = framesViews(rig);
    auto check = [&](const std::string& text, float x, float baseline, float size, SkinAlign align) {
        const fontatlas::FaceInfo& face = textlayout::faceFor(CFontDesc{"", CCoord(std::lround(size)), kBoldFace});
        const std::vector<int> codes = textlayout::decode(text.c_str());
        const CRect atOrigin = textlayout::inkBox(face, codes, {0, 0});
        const float k = size / float(face.pixelSize);
        const float width = k * float(textlayout::width(face, codes));
        const float left = align == SkinAlign::Left ? x : align == SkinAlign::Right ? x - width : x - width / 2;
        const CRect ink(CCoord(std::floor(left + k * float(atOrigin.left))), CCoord(std::floor(baseline + k * float(atOrigin.top))),
                        CCoord(std::ceil(left + k * float(atOrigin.right))), CCoord(std::ceil(baseline + k * float(atOrigin.bottom))));
        expectUncovered(views, "skin word \"" + text + "\"", ink, nullptr, state, true);
    };
    for (const SkinWord& w : panelWords()) check(w.text, w.x, w.baseline, w.size, w.align);
    for (const SkinEntry& e : skinTable())
        if ((e.look == Look::Knob || e.look == Look::VSlider) && !e.words.empty())
            check(e.words[0], e.labelAtLeft ? float(e.left) + 1 : float(e.left) + float(e.width) / 2,
                  float(e.top) - kLabelRaise, kLabelSize, e.labelAtLeft ? SkinAlign::Left : SkinAlign::Centre);
}

void setAll(EditorRig& rig, float value) {
    for (int32_t tag = 0; tag < 38; ++tag) rig.client->setParameter(tag, value);
}

void switchSections(EditorRig& rig, float on) {
    for (int32_t tag : {kTagGate, kTagComp, kTagPreamp, kTagDyn, kTagFxSwitch}) rig.client->setParameter(tag, on);
}

} // namespace

TEST(PanelLegibility, EveryTextIsWholeAndUncoveredInEveryState) {
    EditorRig rig;
    ASSERT_TRUE(rig.open());
    expectLegibleReadouts(rig, "as opened");
    for (float sections : {0.0f, 1.0f})
        for (float page : {0.0f, 1.0f})
            for (float all : {0.0f, 0.5f, 1.0f}) {
                setAll(rig, all);
                switchSections(rig, sections);
                rig.client->setParameter(kTagModulationPage, page);
                std::ostringstream state;
                state << "sections " << sections << ", page " << page << ", parameters at " << all;
                expectLegibleReadouts(rig, state.str());
                expectLegibleSkinWords(rig, state.str());
            }
    rig.close();
}
