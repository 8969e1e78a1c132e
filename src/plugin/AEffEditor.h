// The plug-in side editor base of the VST 2.4 interface: the host reaches the
// editor only through these operations (dispatcher opcodes 13..19, 59..61).
#pragma once

#include "plugin/vst24.h"

class AudioEffect;

class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect) : effect_(effect) {}
    virtual ~AEffEditor() = default;

    virtual AudioEffect* getEffect() { return effect_; }
    virtual bool getRect(ERect** rect) {
        *rect = nullptr;
        return false;
    }
    virtual bool open(void* parentWindow) {
        systemWindow_ = parentWindow;
        return false;
    }
    virtual void close() { systemWindow_ = nullptr; }
    virtual bool isOpen() { return systemWindow_ != nullptr; }
    virtual void idle() {}
    virtual void draw(ERect*) {}
    virtual VstInt32 mouse(VstInt32, VstInt32) { return 0; }
    virtual VstInt32 key(VstInt32) { return 0; }
    virtual bool onKeyDown(VstKeyCode&) { return false; }
    virtual bool onKeyUp(VstKeyCode&) { return false; }
    virtual bool onWheel(float) { return false; }
    virtual bool setKnobMode(VstInt32) { return false; }

protected:
    AudioEffect* effect_;
    void* systemWindow_ = nullptr;
};
