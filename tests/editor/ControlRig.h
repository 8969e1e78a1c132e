// A headless editor frame for control tests: every edit gesture and every
// reported value lands in one log, in order.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "editor/ZuFrame.h"
#include "gui/AEffGUIEditor.h"
#include "gui/CControl.h"
#include "gui/HeadlessWindow.h"

struct ControlLog : CControlListener {
    void valueChanged(CControl* c) override {
        entries.push_back("v" + std::to_string(c->getTag()));
        values.push_back(c->getValue());
    }
    std::vector<std::string> entries; // "b<tag>", "v<tag>", "e<tag>"
    std::vector<float> values;        // one per "v" entry
    void clear() {
        entries.clear();
        values.clear();
    }
};

class LoggingEditor : public AEffGUIEditor {
public:
    explicit LoggingEditor(ControlLog& log) : AEffGUIEditor(nullptr), log_(log) {}
    void beginEdit(VstInt32 index) override { log_.entries.push_back("b" + std::to_string(index)); }
    void endEdit(VstInt32 index) override { log_.entries.push_back("e" + std::to_string(index)); }
    void makeFrame() { frame = new ZuFrame(CRect(0, 0, 682, 425), nullptr, this); }

private:
    ControlLog& log_;
};

struct ControlRig {
    ControlLog log;
    LoggingEditor editor{log};
    std::atomic<uint32_t> mask[4] = {1u, 0u, 0u, 0u};

    ControlRig() { editor.makeFrame(); }
    ZuFrame& frame() { return *static_cast<ZuFrame*>(editor.getFrame()); }
    HeadlessWindow& window() { return *static_cast<HeadlessWindow*>(frame().getPlatformWindow()); }
    template <typename T> T* add(T* control) {
        control->setMask(mask);
        frame().addView(control);
        return control;
    }
    void press(CPoint p, CButtonState b, uint32_t t = 1000) { window().mouseDown(p, b, t); }
    void move(CPoint p, CButtonState b) { window().mouseMoved(p, b); }
    void release(CPoint p, CButtonState b) { window().mouseUp(p, b); }
    // Pixels of the area that are not black.
    int litPixels(const CRect& r) {
        int lit = 0;
        for (CCoord y = r.top; y < r.bottom; ++y)
            for (CCoord x = r.left; x < r.right; ++x) lit += frame().offscreen().getPixel(x, y) != 0;
        return lit;
    }
};
