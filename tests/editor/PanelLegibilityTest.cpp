// Every text on the panel whole and legible: the readouts and the preset
// menu's text drawn inside their own boxes and under no other control, with
// the sections off (as a fresh instance starts), every section on, both
// modulation pages, and every parameter at either end of its range.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "editor/ZuDisplay.h"
#include "editor/ZuOptionMenu.h"
#include "gui/TextLayout.h"
#include "params/ParameterTags.h"
#include "support/EditorRig.h"

namespace {

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

// Each text inside its own box and under no other visible view.
void expectLegibleReadouts(EditorRig& rig, const std::string& state) {
    rig.idle();
    const std::vector<CView*> views = framesViews(rig);
    for (const DrawnText& t : drawnTexts(views)) {
        if (t.ink.isEmpty()) continue;
        const std::string what = state + ": \"" + t.text + "\" of tag " +
                                 std::to_string(static_cast<const CControl*>(t.view)->getTag()) + " at " + describe(t.ink);
        const CRect& box = t.view->getViewSize();
        EXPECT_TRUE(t.ink.left >= box.left && t.ink.right <= box.right && t.ink.top >= box.top &&
                    t.ink.bottom <= box.bottom)
            << what << " is clipped by its box " << describe(box);
        for (const CView* other : views) {
            if (other == t.view || !other->isVisible() || other->getViewSize().isEmpty()) continue;
            EXPECT_FALSE(other->getViewSize().rectOverlap(t.ink)) << what << " meets " << describe(other->getViewSize());
        }
    }
}

} // namespace

TEST(PanelLegibility, EveryTextIsWholeAndUncoveredInEveryState) {
    EditorRig rig;
    ASSERT_TRUE(rig.open());
    expectLegibleReadouts(rig, "as opened");
    for (float sections : {0.0f, 1.0f})
        for (float page : {0.0f, 1.0f})
            for (float all : {0.0f, 0.5f, 1.0f}) {
                for (int32_t tag = 0; tag < 38; ++tag) rig.client->setParameter(tag, all);
                for (int32_t tag : {kTagGate, kTagComp, kTagPreamp, kTagDyn, kTagFxSwitch})
                    rig.client->setParameter(tag, sections);
                rig.client->setParameter(kTagModulationPage, page);
                std::ostringstream state;
                state << "sections " << sections << ", page " << page << ", parameters at " << all;
                expectLegibleReadouts(rig, state.str());
            }
    rig.close();
}
