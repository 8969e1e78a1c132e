// The editor base for editors built on the view toolkit: it owns the frame
// while the editor is open, runs the frame's idle and passes the controls'
// edit gestures on to the plug-in.
#pragma once

#include "plugin/AEffEditor.h"

class CFrame;

class AEffGUIEditor : public AEffEditor {
public:
    explicit AEffGUIEditor(AudioEffect* effect);
    ~AEffGUIEditor() override;

    bool getRect(ERect** rect) override;
    // Keeps the host's window; a subclass then makes its frame in it.
    bool open(void* parentWindow) override;
    // Destroys the frame with all its views.
    void close() override;
    void idle() override;
    void draw(ERect* area) override;

    virtual void setParameter(VstInt32, float) {}
    // A control starts / ends a drag of the parameter with this tag.
    virtual void beginEdit(VstInt32 index);
    virtual void endEdit(VstInt32 index);
    // Called by controls during long interactions so the editor stays alive.
    virtual void doIdleStuff() { idle(); }

    CFrame* getFrame() const { return frame; }

protected:
    ERect rect{0, 0, 0, 0};
    CFrame* frame = nullptr;
};
