#include "editor/ZuEditorBase.h"

#include <chrono>
#include <thread>

#include "editor/ZuControl.h"
#include "gui/SkinBitmaps.h"
#include "plugin/AudioEffect.h"

uint64_t EditorClock::nowMs() {
    using namespace std::chrono;
    return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void EditorClock::sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

ZuEditorBase::ZuEditorBase(AudioEffect* effect) : AEffGUIEditor(effect) {}

ZuEditorBase::~ZuEditorBase() { ZuEditorBase::close(); }

bool ZuEditorBase::open(void* parentWindow) {
    if (open_) return true;
    AEffGUIEditor::open(parentWindow);
    skin::acquireBitmaps();
    open_ = true;
    return true;
}

void ZuEditorBase::close() {
    const bool wasOpen = open_;
    open_ = false;
    refreshRequested_ = false;
    AEffGUIEditor::close();
    if (wasOpen) skin::releaseBitmaps();
}

bool ZuEditorBase::onKeyDown(VstKeyCode& key) {
    if (key.virt == VKEY_F2) {
        randomise();
        return true;
    }
    return keyCapture_;
}

bool ZuEditorBase::onKeyUp(VstKeyCode&) { return keyCapture_; }

bool ZuEditorBase::setKnobMode(VstInt32 mode) {
    ZuControl::setKnobMode(mode);
    return true;
}

CBitmap* ZuEditorBase::getBitmap(int32_t resourceId) { return skin::getBitmap(resourceId); }

void ZuEditorBase::requestRefresh() {
    if (open_) refreshRequested_ = true;
}

bool ZuEditorBase::takeRefreshRequest() {
    return refreshRequested_.exchange(false);
}

void ZuEditorBase::doIdleStuff() {
    uint64_t now = clock_->nowMs();
    if (now < idleDue_) {
        clock_->sleepMs(4);
        now = clock_->nowMs();
        if (now < idleDue_ && idleDue_ - now > 50) return;
    }
    idle();
    idleDue_ = now + kIdleHookPeriodMs;
    if (effect_) effect_->callHost(audioMasterIdle);
}
