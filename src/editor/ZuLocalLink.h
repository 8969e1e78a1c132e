// The manual link: a press marks it, a release inside asks the desktop to
// open the manual below the install folder.
#pragma once

#include <string>

#include "editor/ZuControl.h"

class ZuLocalLink : public ZuControl {
public:
    // Reads "installpath" from the settings now.
    ZuLocalLink(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* image = nullptr);

    const std::string& getDocumentPath() const { return path_; }
    // install folder + separator + "Manual" + separator + "Manual.htm", or
    // "emptyManual.htm" without an install folder setting.
    static std::string manualPath();
    bool isPressed() const { return pressed_; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;

private:
    std::string path_;
    bool pressed_ = false;
};
