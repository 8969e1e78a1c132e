#include "editor/ZuLocalLink.h"

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/ShellOpen.h"
#include "state/PathText.h"
#include "state/SettingsKey.h"

ZuLocalLink::ZuLocalLink(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* image)
    : ZuControl(size, listener, tag, image), path_(manualPath()) {}

std::string ZuLocalLink::manualPath() {
    std::string folder;
    if (!readSettingString("installpath", folder)) return "emptyManual.htm";
    ensureTrailingSeparator(folder);
    return folder + "Manual" + kPathSeparator + "Manual.htm";
}

void ZuLocalLink::draw(CDrawContext* context) {
    if (!isVisible()) return;
    const CRect& r = getViewSize();
    CBitmap* image = getBackground();
    if (image && image->isLoaded()) {
        // a second image below the first shows the pressed link
        const bool twoImages = image->getHeight() >= 2 * r.height();
        image->drawTransparent(context, r, CPoint(0, pressed_ && twoImages ? r.height() : 0));
        return;
    }
    context->setFrameColor(pressed_ ? kWhiteCColor : CColor{160, 160, 160, 255});
    context->drawRect(r);
    context->setFontColor(kWhiteCColor);
    context->drawString("?", r);
}

CMouseEventResult ZuLocalLink::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!getViewSize().pointInside(where) || !isVisible() || !(buttons & kLButton)) return kMouseEventNotHandled;
    pressed_ = true;
    setDirty(true);
    return kMouseEventHandled;
}

CMouseEventResult ZuLocalLink::onMouseUp(CPoint& where, const CButtonState&) {
    if (!pressed_) return kMouseEventNotHandled;
    pressed_ = false;
    setDirty(true);
    if (getViewSize().pointInside(where) && isVisible()) {
        try {
            openDocument(path_);
        } catch (...) {
            // a failing desktop must not take the host down
        }
    }
    return kMouseEventHandled;
}
