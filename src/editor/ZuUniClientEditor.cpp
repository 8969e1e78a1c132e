#include "editor/ZuUniClientEditor.h"

#include <algorithm>

#include "editor/EditorLayout.h"
#include "editor/EditorPanel.h"
#include "editor/MidiContextMenu.h"
#include "editor/SwitchVisibility.h"
#include "editor/ValueRouting.h"
#include "editor/ZuControl.h"
#include "editor/ZuDisplay.h"
#include "editor/ZuPresetMenu.h"
#include "editor/ZuFrame.h"
#include "params/ParameterTags.h"
#include "plugin/ZuUniClient.h"

namespace {
// The section switches whose states decide which covers show.
constexpr int32_t kSectionSwitches[] = {kTagGate, kTagComp, kTagPreamp, kTagDyn, kTagFxSwitch};
constexpr std::chrono::seconds kLearnedMessageTime{4};
} // namespace

ZuUniClientEditor::ZuUniClientEditor(ZuUniClient* effect) : ZuEditorBase(effect), client_(effect) {
    rect = ERect{0, 0, layout::kHeight, layout::kWidth};
}

ZuUniClientEditor::~ZuUniClientEditor() { ZuUniClientEditor::close(); }

bool ZuUniClientEditor::getRect(ERect** r) {
    if (!r) return false;
    *r = &rect;
    return true;
}

float* ZuUniClientEditor::engineCells() { return client_->engine().cell; }

bool ZuUniClientEditor::open(void* parentWindow) {
    if (isOpen()) return true;
    ZuEditorBase::open(parentWindow);
    frame = new ZuFrame(CRect(0, 0, layout::kWidth, layout::kHeight), parentWindow, this);
    frame->setBackground(getBitmap(layout::kBackgroundBitmap));
    readouts_.derive(client_->engine());
    midiMenu_ = std::make_unique<MidiContextMenu>(*this);
    static_cast<ZuFrame*>(frame)->setPanelMenu(midiMenu_.get());
    buildPanel(*this, *frame);
    for (int32_t tag : kSectionSwitches)
        if (ParameterRecord* r = client_->parameters().byTag(tag)) client_->setParameter(tag, *r->value);
    shownPresetName_.clear();
    showPresetName();
    showMidiMessageOnLine();
    refreshControls();
    return true;
}

void ZuUniClientEditor::close() {
    presetMenus_.clear();
    if (frame) static_cast<ZuFrame*>(frame)->setPanelMenu(nullptr);
    midiMenu_.reset(); // its open list lives in the frame
    ZuEditorBase::close();
}

ZuOptionMenu* ZuUniClientEditor::midiMenu() const { return midiMenu_.get(); }

void ZuUniClientEditor::showMidiMessage(const std::string& text) {
    midiMessage_ = text;
    midiMessageEnd_ = {};
    showMidiMessageOnLine();
}

void ZuUniClientEditor::controllerLearned(int32_t number, int32_t tag) {
    const ParameterRecord* r = client_->parameters().byTag(tag);
    showMidiMessage("CC " + std::to_string(number) + " \u2192 " + (r ? r->name : std::to_string(tag)));
    midiMessageEnd_ = std::chrono::steady_clock::now() + kLearnedMessageTime;
}

void ZuUniClientEditor::showMidiMessageOnLine() {
    if (auto* info = dynamic_cast<ZuDisplay*>(findControl(layout::kInfoLineTag))) info->setMessage(midiMessage_);
}

void ZuUniClientEditor::idle() {
    if (!frame) return;
    readouts_.derive(client_->engine());
    showPresetName();
    if (midiMessageEnd_ != std::chrono::steady_clock::time_point{} && std::chrono::steady_clock::now() >= midiMessageEnd_)
        showMidiMessage("");
    refreshControls();
    if (takeRefreshRequest()) frame->setDirty(true);
    frame->idle();
}

void ZuUniClientEditor::switchChanged(int32_t tag, float state) {
    const SwitchVisibility* row = switchVisibilityFor(tag);
    if (!row) return;
    applySwitchVisibility(*row, state, mask_);
    requestRefresh();
}

void ZuUniClientEditor::refreshControls() {
    if (frame) static_cast<ZuFrame*>(frame)->refreshControls();
}

std::string ZuUniClientEditor::presetTitle() const {
    return client_->presetName.empty() ? std::string("default") : client_->presetName;
}

void ZuUniClientEditor::showPresetName() {
    std::string name = presetTitle();
    if (name == shownPresetName_) return;
    for (ZuPresetMenu* m : presetMenus_)
        if (m) m->setShownText(name);
    if (auto* info = dynamic_cast<ZuDisplay*>(findControl(layout::kInfoLineTag))) info->setIdleText(name);
    shownPresetName_ = std::move(name);
}

CControl* ZuUniClientEditor::findControl(int32_t tag) const {
    CControl* found = nullptr;
    if (frame)
        frame->forEachView([&](CView* v) {
            if (found) return;
            if (auto* c = dynamic_cast<CControl*>(v); c && c->getTag() == tag) found = c;
        });
    return found;
}

void ZuUniClientEditor::valueChanged(CControl* control) {
    if (!control) return;
    const int32_t tag = control->getTag();
    const float v = control->getValue();
    const ValueRule rule = valueRuleFor(tag);
    switch (rule.route) {
    case ValueRoute::Automated: client_->setParameterAutomated(tag, v * rule.factor); break;
    case ValueRoute::Plain: client_->setParameter(tag, v * rule.factor); break;
    case ValueRoute::PresetMenu: presetMenuAction(*this, control); break;
    case ValueRoute::NextPreset:
    case ValueRoute::PreviousPreset:
        if (v == 1.0f) {
            const int32_t step = rule.route == ValueRoute::NextPreset ? 1 : -1;
            client_->setProgram(client_->currentProgram() + step);
            client_->callHost(audioMasterUpdateDisplay);
        }
        break;
    }
    control->setDirty(true);
}

void ZuUniClientEditor::randomise() {
    ParameterTable& table = client_->parameters();
    for (int32_t i = 0; i < kNumHostParameters; ++i) {
        ParameterRecord* r = table.byHostIndex(i);
        if (!r) continue;
        // the classic 15-bit generator: 0..32767
        randomState_ = randomState_ * 214013u + 2531011u;
        const float random = float((randomState_ >> 16) & 0x7FFFu) / 32767.0f;
        const float value = std::clamp(*r->value + (2.0f * random - 1.0f) * r->randomRange, 0.0f, 1.0f);
        client_->setParameter(i, value);
    }
}
