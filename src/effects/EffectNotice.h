// What a send effect has to tell the user. The effects never show anything
// themselves: the plug-in object implements this and shows the text from its
// own side, so no DSP code reaches the GUI.
#pragma once

class EffectNotice {
public:
    virtual void effectNotice(const char* text) = 0;

protected:
    ~EffectNotice() = default;
};
