// The toolkit's editor base: controls' edit gestures reach the plug-in, and
// the frame lives from open to close.
#include <gtest/gtest.h>

#include <vector>

#include "gui/AEffGUIEditor.h"
#include "gui/CControl.h"
#include "gui/CFrame.h"
#include "plugin/AudioEffect.h"

namespace {

class GestureEffect : public AudioEffect {
public:
    GestureEffect() : AudioEffect(nullptr, 1, 1) {}
    bool beginEdit(VstInt32 index) override {
        log.push_back(index);
        return true;
    }
    bool endEdit(VstInt32 index) override {
        log.push_back(-index);
        return true;
    }
    std::vector<int> log;
};

class TestEditor : public AEffGUIEditor {
public:
    explicit TestEditor(AudioEffect* e) : AEffGUIEditor(e) { rect = ERect{0, 0, 425, 682}; }
    bool open(void* parent) override {
        AEffGUIEditor::open(parent);
        frame = new CFrame(CRect(0, 0, rect.right, rect.bottom), parent, this);
        return true;
    }
};

struct Listener : CControlListener {
    void valueChanged(CControl* c) override { values.push_back(c->getValue()); }
    void controlBeginEdit(CControl*) override { ++begins; }
    void controlEndEdit(CControl*) override { ++ends; }
    std::vector<float> values;
    int begins = 0, ends = 0;
};

} // namespace

TEST(GuiEditor, GesturesAndValuesReachTheirReceivers) {
    GestureEffect effect;
    TestEditor editor(&effect);
    ERect* r = nullptr;
    ASSERT_TRUE(editor.getRect(&r));
    EXPECT_EQ(r->right, 682);
    EXPECT_EQ(editor.getFrame(), nullptr);
    editor.open(nullptr);
    ASSERT_NE(editor.getFrame(), nullptr);
    EXPECT_EQ(editor.getFrame()->getViewSize(), CRect(0, 0, 682, 425));

    Listener listener;
    auto* control = new CControl(CRect(0, 0, 10, 10), &listener, 12);
    editor.getFrame()->addView(control);
    control->beginEdit();
    control->setValue(0.25f);
    control->notifyValueChanged();
    control->endEdit();
    EXPECT_EQ(effect.log, (std::vector<int>{12, -12}));
    EXPECT_EQ(listener.values, (std::vector<float>{0.25f}));
    EXPECT_EQ(listener.begins, 1);
    EXPECT_EQ(listener.ends, 1);

    control->setMax(0.5f);
    control->setValue(0.9f);
    control->bounceValue();
    EXPECT_EQ(control->getValue(), 0.5f);
    control->setValue(-1.f);
    control->bounceValue();
    EXPECT_EQ(control->getValue(), 0.0f);

    editor.idle();
    EXPECT_EQ(editor.getFrame()->redrawCount(), 1);
    editor.close();
    EXPECT_EQ(editor.getFrame(), nullptr);
    editor.close(); // again: nothing more
    editor.idle();
}
