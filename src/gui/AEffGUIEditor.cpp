#include "gui/AEffGUIEditor.h"

#include "gui/CFrame.h"
#include "plugin/AudioEffect.h"

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect) : AEffEditor(effect) {}

AEffGUIEditor::~AEffGUIEditor() { AEffGUIEditor::close(); }

bool AEffGUIEditor::getRect(ERect** r) {
    *r = &rect;
    return true;
}

bool AEffGUIEditor::open(void* parentWindow) {
    systemWindow_ = parentWindow;
    return true;
}

void AEffGUIEditor::close() {
    delete frame;
    frame = nullptr;
    systemWindow_ = nullptr;
}

void AEffGUIEditor::idle() {
    if (frame) frame->idle();
}

void AEffGUIEditor::draw(ERect*) {
    if (frame) frame->setDirty(true);
}

void AEffGUIEditor::beginEdit(VstInt32 index) {
    if (effect_) effect_->beginEdit(index);
}

void AEffGUIEditor::endEdit(VstInt32 index) {
    if (effect_) effect_->endEdit(index);
}
