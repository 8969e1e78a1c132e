// The plug-in's editor: the 682 x 425 panel. The object lives from the
// plug-in's construction on; its frame and controls exist only between open
// and close. Controls report to it (valueChanged); nothing pushes values into
// them: at every idle tick each re-reads the engine value it is bound to.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "editor/EditorReadouts.h"
#include "editor/VisibilityMask.h"
#include "editor/ZuEditorBase.h"
#include "gui/CControl.h"
#include "params/ParameterListener.h"

class MidiContextMenu;
class ZuOptionMenu;
class ZuUniClient;
class ZuPresetMenu;

class ZuUniClientEditor : public ZuEditorBase, public CControlListener, public ParameterListener {
public:
    explicit ZuUniClientEditor(ZuUniClient* effect);
    ~ZuUniClientEditor() override;

    // 682 x 425 whether open or not.
    bool getRect(ERect** rect) override;
    // Builds the frame with every control and pushes the section switches
    // back through the parameter model so that the mask matches them.
    bool open(void* parentWindow) override;
    void close() override;
    // Meters and readouts, every control's refresh from its engine value,
    // then the redraw of what is dirty.
    void idle() override;

    VisibilityMask& mask() { return mask_; }
    const EditorReadouts& readouts() const { return readouts_; }
    ZuUniClient* client() const { return client_; }
    // The engine state the controls are bound to.
    float* engineCells();

    // The control with this tag (the first one made), null when closed.
    CControl* findControl(int32_t tag) const;
    // Every preset menu of the open editor, for rebuilding.
    std::vector<ZuPresetMenu*>& presetMenus() { return presetMenus_; }

    // The MIDI-learn menu of the controls and the panel; null while closed.
    ZuOptionMenu* midiMenu() const;
    // On the information line in place of the info texts; empty clears it.
    void showMidiMessage(const std::string& text);
    // A learned binding, told on the information line for a few seconds.
    void controllerLearned(int32_t number, int32_t tag);

    // What the panel calls the loaded preset: its name, "default" while it has none.
    std::string presetTitle() const;

    // CControlListener
    void valueChanged(CControl* control) override;
    int32_t controlModifierClicked(CControl*, CButtonState) override { return 0; }

    // ParameterListener: the switches show and hide their groups in the mask.
    void switchChanged(int32_t tag, float state) override;
    bool groupShown(int group) const override { return mask_.test(group); }
    void requestRedraw() override { requestRefresh(); }

protected:
    // Each host parameter moved by its random range (0 for every record of
    // this plug-in, so each value is applied again unchanged).
    void randomise() override;

private:
    void refreshControls();
    // The preset menu and the information line follow the plug-in's preset
    // name, whoever changed it (a load, a program change, a save).
    void showPresetName();
    void showMidiMessageOnLine();

    ZuUniClient* client_;
    VisibilityMask mask_;
    EditorReadouts readouts_;
    std::vector<ZuPresetMenu*> presetMenus_;
    std::unique_ptr<MidiContextMenu> midiMenu_;
    std::string midiMessage_;
    std::chrono::steady_clock::time_point midiMessageEnd_{};
    uint32_t randomState_ = 1;
    std::string shownPresetName_;
};
