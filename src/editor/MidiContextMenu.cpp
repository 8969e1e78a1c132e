#include "editor/MidiContextMenu.h"

#include <string>

#include "editor/ZuUniClientEditor.h"
#include "plugin/ZuUniClient.h"
#include "state/Settings.h"
#include "state/SettingsKey.h"

MidiContextMenu::MidiContextMenu(ZuUniClientEditor& editor)
    : ZuOptionMenu(CRect(0, 0, 0, 0), nullptr, -1), editor_(editor) {
    setExtraCallBack(this);
}

void MidiContextMenu::aboutToOpen(ZuControl* owner) {
    removeAllEntries();
    ZuUniClient& client = *editor_.client();
    if (owner) {
        addEntry("Learn MIDI CC", kLearn);
        const int32_t number = client.controllerOf(owner->getTag());
        if (number >= 0)
            addEntry("Forget MIDI CC " + std::to_string(number), kForget);
        else
            addEntry("Forget MIDI CC", kForget, kZuEntryTitle);
        return;
    }
    addEntry("Forget all MIDI assignments", kForgetAll);
    addEntry(client.midiAutomation != 0.0f ? "MIDI moves recorded by the host: on" : "MIDI moves recorded by the host: off",
             kAutomation);
}

void MidiContextMenu::optionMenuChosen(ZuOptionMenu*, ZuControl* owner, int32_t value) {
    ZuUniClient& client = *editor_.client();
    switch (value) {
    case kLearn:
        if (!owner) return;
        client.startLearning(owner->getTag());
        editor_.showMidiMessage("Move a MIDI controller\u2026");
        break;
    case kForget:
        if (!owner) return;
        client.forgetController(owner->getTag());
        editor_.showMidiMessage("");
        break;
    case kForgetAll:
        client.forgetAllControllers();
        editor_.showMidiMessage("");
        break;
    case kAutomation:
        client.midiAutomation = client.midiAutomation != 0.0f ? 0.0f : 1.0f;
        writeSettingInt(kMidiAutomationSetting, client.midiAutomation != 0.0f ? 1 : 0);
        break;
    default: break;
    }
}
