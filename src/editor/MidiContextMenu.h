// The context menu of the panel's knobs, sliders and buttons, and of the
// panel itself: MIDI learn. Its entries are made for the control it opens
// on, so the one menu serves them all.
#pragma once

#include "editor/ZuOptionMenu.h"

class ZuUniClientEditor;

class MidiContextMenu : public ZuOptionMenu, public ZuOptionMenuExtraCallBack {
public:
    enum Entry : int32_t { kLearn = 1, kForget = 2, kForgetAll = 3, kAutomation = 4 };

    explicit MidiContextMenu(ZuUniClientEditor& editor);

    void optionMenuChosen(ZuOptionMenu* menu, ZuControl* owner, int32_t value) override;

protected:
    // A control: "Learn MIDI CC" and "Forget MIDI CC" with its controller
    // number (a title while it has none). The panel: "Forget all MIDI
    // assignments" and the host-automation switch.
    void aboutToOpen(ZuControl* owner) override;

private:
    ZuUniClientEditor& editor_;
};
