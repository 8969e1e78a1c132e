// A view for frame tests: it fills its rectangle with its colour and records
// the mouse events and draws it receives.
#pragma once

#include <string>
#include <vector>

#include "gui/CControl.h"
#include "gui/CDrawContext.h"

class RecordingView : public CControl {
public:
    RecordingView(const CRect& r, uint32_t colour, CMouseEventResult downAnswer = kMouseEventHandled)
        : CControl(r), colour_(colour), downAnswer_(downAnswer) {}

    void draw(CDrawContext* c) override {
        ++draws;
        c->setFillColor(CColor::fromRgb(colour_));
        c->fillRect(getViewSize());
    }
    CMouseEventResult onMouseDown(CPoint& p, const CButtonState& b) override {
        events.push_back("down");
        lastButtons = b;
        lastPoint = p;
        return downAnswer_;
    }
    CMouseEventResult onMouseUp(CPoint& p, const CButtonState& b) override {
        events.push_back("up");
        lastButtons = b;
        lastPoint = p;
        return kMouseEventHandled;
    }
    CMouseEventResult onMouseMoved(CPoint& p, const CButtonState& b) override {
        events.push_back("moved");
        lastButtons = b;
        lastPoint = p;
        return kMouseEventHandled;
    }
    bool onWheel(const CPoint&, float d, const CButtonState&) override {
        events.push_back("wheel");
        wheel += d;
        return true;
    }
    void setColour(uint32_t c) {
        colour_ = c;
        setDirty(true);
    }

    int draws = 0;
    std::vector<std::string> events;
    CButtonState lastButtons = 0;
    CPoint lastPoint;
    float wheel = 0;

private:
    uint32_t colour_;
    CMouseEventResult downAnswer_;
};
