// A control that shows one image of a vertical strip: the image chosen by
// its value, index = trunc((count - 1) x normalised value).
#pragma once

#include "gui/CControl.h"

class CMovieBitmap : public CControl {
public:
    CMovieBitmap(const CRect& size, CControlListener* listener, int32_t tag, int32_t imageCount, CCoord imageHeight,
                 CBitmap* strip, bool transparent = false);

    int32_t imageIndex() const;
    void draw(CDrawContext* context) override;

private:
    int32_t count_;
    CCoord imageHeight_;
    bool transparent_;
};
