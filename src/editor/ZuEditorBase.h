// The editor base of this plug-in: the shared skin bitmaps taken at open and
// given back at close, the keys, the module-wide knob mode, the refresh
// request of the parameter model and the idle hook that keeps the host alive
// during long control interactions.
#pragma once

#include <atomic>
#include <cstdint>

#include "gui/AEffGUIEditor.h"

class CBitmap;

// Time for the idle hook; tests put a clock of their own in.
class EditorClock {
public:
    virtual ~EditorClock() = default;
    virtual uint64_t nowMs();
    virtual void sleepMs(int ms);
};

class ZuEditorBase : public AEffGUIEditor {
public:
    explicit ZuEditorBase(AudioEffect* effect);
    ~ZuEditorBase() override;

    // Takes a share of the skin (the first open loads it) and sets the open flag.
    bool open(void* parentWindow) override;
    // Destroys the frame and gives the share back; a closed editor only
    // repeats the clean-up.
    void close() override;
    bool isOpen() override { return open_; }

    // F2 randomises the parameters and answers 1; other keys answer the
    // key-capture flag.
    bool onKeyDown(VstKeyCode& key) override;
    bool onKeyUp(VstKeyCode& key) override;
    // One setting for every control of every editor of the module.
    bool setKnobMode(VstInt32 mode) override;

    // A skin bitmap (ids 1000..1068) while any editor holds the skin, else null.
    virtual CBitmap* getBitmap(int32_t resourceId);
    // A full redraw at the next idle tick, when open.
    virtual void requestRefresh();
    bool refreshRequested() const { return refreshRequested_; }

    // The idle hook: at most every 100 ms it runs idle and tells the host
    // (audioMasterIdle); called earlier it waits 4 ms and, still more than
    // 50 ms early, returns.
    void doIdleStuff() override;
    void setClock(EditorClock* clock) { clock_ = clock ? clock : &defaultClock_; }

    static constexpr int kIdleHookPeriodMs = 100;

protected:
    virtual void randomise() {}
    // Takes the pending refresh request.
    bool takeRefreshRequest();

    bool keyCapture_ = false;

private:
    // Set on the editor's thread, read by requests from any thread.
    std::atomic<bool> open_{false};
    std::atomic<bool> refreshRequested_{false};
    uint64_t idleDue_ = 0;
    EditorClock defaultClock_;
    EditorClock* clock_ = &defaultClock_;
};
