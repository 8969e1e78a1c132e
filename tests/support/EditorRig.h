// A plug-in created through its entry point by the recording test host, with
// its editor opened headless as a host without a window would: the test feeds
// mouse input to the frame's window and sees every call into the host.
#pragma once

#include <gtest/gtest.h>

#include <cmath>

#include "editor/ZuUniClientEditor.h"
#include "gui/CControl.h"
#include "gui/CFrame.h"
#include "gui/HeadlessWindow.h"
#include "plugin/ZuUniClient.h"
#include "support/TestHost.h"

struct EditorRig {
    TestHost host;
    AEffect* effect = nullptr;
    ZuUniClient* client = nullptr;
    uint32_t clock = 10000; // event times in ms, far apart unless a double click is meant

    // The instance is made in this process (so the test can reach its
    // editor) and talks to the host only through the callback.
    static AEffect* entry(audioMasterCallback callback) {
        AudioEffect* e = createEffectInstance(callback);
        return e ? e->getAeffect() : nullptr;
    }

    EditorRig() {
        effect = host.openWith(&EditorRig::entry);
        if (effect) client = static_cast<ZuUniClient*>(static_cast<AudioEffect*>(effect->object));
    }

    ZuUniClientEditor* editor() const { return client->uniEditor(); }
    bool open() { return host.dispatch(effEditOpen, 0, 0, nullptr) == 1; }
    void close() { host.dispatch(effEditClose); }
    void idle() { host.dispatch(effEditIdle); }

    HeadlessWindow& window() const {
        return *static_cast<HeadlessWindow*>(editor()->getFrame()->getPlatformWindow());
    }
    CControl* control(int32_t tag) const { return editor()->findControl(tag); }
    static CPoint centre(const CRect& r) { return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

    void press(CPoint p, CButtonState b = kLButton) { window().mouseDown(p, b, clock += 1000); }
    void release(CPoint p, CButtonState b = kLButton) { window().mouseUp(p, b); }
    void click(CPoint p, CButtonState b = kLButton) {
        press(p, b);
        release(p, b);
    }
    void clickTag(int32_t tag, CButtonState b = kLButton) {
        CControl* c = control(tag);
        ASSERT_NE(c, nullptr) << tag;
        click(centre(c->getViewSize()), b);
    }
    // Presses, moves by (dx, dy) in one step and releases.
    void drag(int32_t tag, CCoord dx, CCoord dy, CButtonState modifiers = 0) {
        CControl* c = control(tag);
        ASSERT_NE(c, nullptr) << tag;
        const CPoint from = centre(c->getViewSize());
        const CPoint to(from.x + dx, from.y + dy);
        press(from, kLButton | modifiers);
        window().mouseMoved(to, kLButton | modifiers);
        release(to, kLButton | modifiers);
    }

    // The automated value of the one edit gesture on the tag that the host calls
    // since the last clearCalls make (begin, one automation, end); NaN when they are not that.
    float oneGesture(int32_t tag) const {
        const std::vector<HostCall> calls = host.calls(), automated = callsOf(audioMasterAutomate);
        const bool one = !calls.empty() && calls.front().opcode == audioMasterBeginEdit && calls.front().index == tag &&
                         calls.back().opcode == audioMasterEndEdit && calls.back().index == tag &&
                         callsOf(audioMasterBeginEdit).size() == 1 && callsOf(audioMasterEndEdit).size() == 1 &&
                         automated.size() == 1 && automated[0].index == tag;
        return one ? automated[0].opt : NAN;
    }
    // The host calls of one opcode, in order.
    std::vector<HostCall> callsOf(VstInt32 opcode) const {
        std::vector<HostCall> out;
        for (const HostCall& c : host.calls())
            if (c.opcode == opcode) out.push_back(c);
        return out;
    }
};
