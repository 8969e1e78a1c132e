#include "editor/EditorPanel.h"

#include <algorithm>

#include "editor/ControlInfo.h"
#include "editor/EditorLayout.h"
#include "editor/ZuButton.h"
#include "editor/ZuDisplay.h"
#include "editor/ZuKnob.h"
#include "editor/ZuLocalLink.h"
#include "editor/ZuOptionMenu.h"
#include "editor/ZuPresetMenu.h"
#include "editor/ZuUniClientEditor.h"
#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "params/ControlStates.h"
#include "plugin/ZuUniClient.h"

#include <string>

using namespace layout;

namespace {

const CFontDesc kPanelFont{"Arial", 12, kNormalFace};
const CColor kDisplayText{222, 226, 232, 255};

// The height of one image of a strip of count images; 0 without a strip.
CCoord imageHeightOf(const CBitmap* strip, int32_t count) {
    return strip && count > 0 ? strip->getHeight() / count : 0;
}

// Displays sit beside, and some under, the controls they belong to; they
// never take the mouse, so a click or an info text goes to the control.
class PanelDisplay : public ZuDisplay {
public:
    using ZuDisplay::ZuDisplay;
    bool hitTest(const CPoint&) const override { return false; }
};

class PanelBuilder {
public:
    PanelBuilder(ZuUniClientEditor& editor, CFrame& frame)
        : editor_(editor), frame_(frame), cells_(editor.engineCells()) {}

    void control(const ControlSpec& c) {
        ZuControl* made = nullptr;
        CBitmap* strip = c.strip ? editor_.getBitmap(c.strip) : nullptr;
        switch (c.kind) {
        case ControlKind::Knob:
        case ControlKind::Slider:
        case ControlKind::HSlider: made = knob(c, strip); break;
        case ControlKind::Button: made = button(c, strip); break;
        case ControlKind::Menu: made = menu(c, strip); break;
        case ControlKind::PresetMenu: made = presetMenu(c, strip); break;
        case ControlKind::Link: made = new ZuLocalLink(c.rect, &editor_, c.tag, strip); break;
        default: break;
        }
        if (!made) return;
        // MIDI learn on every knob, slider and button a controller can move.
        if (c.kind != ControlKind::Menu && controllerCanMove(c.tag)) made->setContextMenu(editor_.midiMenu());
        ZuUniClientEditor* editor = &editor_;
        made->setInfoSource([editor, made] {
            if (made->getTag() == kPresetMenuTag) return "Preset " + editor->presetTitle();
            return controlInfo(*made, editor->engineCells(), editor->readouts());
        });
        add(made, c.group);
    }

    void display(const DisplaySpec& d) {
        CBitmap* strip = d.strip ? editor_.getBitmap(d.strip) : nullptr;
        auto* v = new PanelDisplay(d.rect, &editor_, d.tag, d.kind == DisplayKind::Image ? nullptr : strip);
        switch (d.kind) {
        case DisplayKind::Number: v->setMode(ZuDisplay::kNumber); break;
        case DisplayKind::Image:
            v->setMode(ZuDisplay::kImage);
            v->setImageStrip(strip, d.images, imageHeightOf(strip, d.images));
            break;
        case DisplayKind::Info: v->setMode(ZuDisplay::kInfo); break;
        }
        const float* cell = nullptr;
        if (d.source == Source::Cell) cell = &cells_[d.index];
        if (d.source == Source::Readout) cell = editor_.readouts().cell(Readout(d.index));
        v->bindDisplay(cell, d.scale, d.offset);
        v->setUnit(d.unit);
        v->setFieldFormat(d.width, d.precision);
        v->setFont(CFontDesc{kPanelFont.name, d.fontSize, kPanelFont.style});
        v->setTextColor(kDisplayText);
        v->setAlignment(d.align);
        add(v, d.group);
    }

private:
    ZuControl* knob(const ControlSpec& c, CBitmap* strip) {
        const auto orientation = c.kind == ControlKind::HSlider ? ZuKnob::kHorizontal : ZuKnob::kVertical;
        auto* k = new ZuKnob(c.rect, &editor_, c.tag, strip, c.states, imageHeightOf(strip, c.states), orientation);
        k->setSensitivity(sensitivityFor(c.tag));
        k->setDefaultValue(resetValueFor(c.tag));
        bind(k, c.tag);
        return k;
    }

    ZuControl* button(const ControlSpec& c, CBitmap* strip) {
        const auto mode = c.mode == kMomentary ? ZuButton::kMomentary : ZuButton::kStepping;
        // A strip holds one image per state, except the preset buttons' single
        // picture: cut into states, their pressed image would start halfway down it.
        const CCoord height = std::max<CCoord>(imageHeightOf(strip, c.states), c.rect.height());
        auto* b = new ZuButton(c.rect, &editor_, c.tag, strip, c.states, mode, height);
        b->setFont(kPanelFont);
        bind(b, c.tag);
        return b;
    }

    // A selector: one entry per state, the strip shows the chosen one.
    ZuControl* menu(const ControlSpec& c, CBitmap* strip) {
        auto* m = new ZuOptionMenu(c.rect, &editor_, c.tag, strip);
        int32_t value = 0;
        for (const char* text : menuEntries(c.tag)) m->addEntry(text, value++);
        m->setBoundFactor(float(c.states));
        m->setFont(kPanelFont);
        m->setShowText(false);
        bind(m, c.tag);
        return m;
    }

    // The file browser of preset folder slot 0; the editor keeps its text at
    // the loaded preset's name.
    ZuControl* presetMenu(const ControlSpec& c, CBitmap* strip) {
        auto* m = new ZuPresetMenu(c.rect, &editor_, c.tag, strip, kPresetMenuStyle);
        m->setFont(kPanelFont);
        m->setShownText("default");
        m->setTextColor(kDisplayText);
        std::string folder;
        editor_.client()->readPresetFolderSetting(folder, 0);
        m->build(folder.c_str(), "zuo");
        editor_.presetMenus().push_back(m);
        return m;
    }

    void bind(ZuControl* control, int32_t tag) {
        control->bindValue(&cells_[tag], 0.0f, 1.0f);
        control->refreshFromBound();
    }

    void add(ZuControl* control, int32_t group) {
        control->setGroup(group);
        control->setMask(editor_.mask().words.data());
        frame_.addView(control);
    }

    ZuUniClientEditor& editor_;
    CFrame& frame_;
    float* cells_;
};

} // namespace

void buildPanel(ZuUniClientEditor& editor, CFrame& frame) {
    // Displays first: the controls are drawn over them where they meet.
    PanelBuilder builder(editor, frame);
    for (const DisplaySpec& d : displays()) builder.display(d);
    for (const ControlSpec& c : controls()) builder.control(c);
}

void presetMenuAction(ZuUniClientEditor& editor, CControl* control) {
    auto* menu = dynamic_cast<ZuPresetMenu*>(control);
    if (menu) performPresetMenuAction(*menu, *editor.client(), editor.presetMenus());
}
