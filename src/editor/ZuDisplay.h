// Value and text displays: a bound engine value printed as prefix, number
// and unit; an integer mode; an info mode that shows the info text of the
// control under the mouse; and image displays that pick a strip image.
#pragma once

#include <string>

#include "editor/ZuControl.h"

class ZuDisplay : public ZuControl {
public:
    enum Mode { kNumber, kInteger, kInfo, kImage };

    ZuDisplay(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background = nullptr);
    ~ZuDisplay() override;

    void setMode(Mode mode);
    Mode getMode() const { return mode_; }
    // The shown number is cell x scale + offset; a null cell shows the
    // control's own value that way.
    void bindDisplay(const float* cell, float scale = 1.0f, float offset = 0.0f);
    void setPrefix(const std::string& prefix) { prefix_ = prefix; }
    void setUnit(const std::string& unit) { unit_ = unit; }
    void setFieldFormat(int32_t width, int32_t precision);
    void setTextColor(const CColor& c) { textColor_ = c; }
    void setFont(const CFontDesc& font) { font_ = font; }
    void setAlignment(CHoriTxtAlign align) { align_ = align; }
    const CFontDesc& getFont() const { return font_; }
    // Info mode: what the line says while the mouse is over no control.
    void setIdleText(const std::string& text);
    // Info mode: a message shown instead of any info text until it is
    // replaced or cleared (an empty text).
    void setMessage(const std::string& text);
    const std::string& getMessage() const { return message_; }
    CHoriTxtAlign getAlignment() const { return align_; }
    // Image mode: imageCount images stacked in the strip (takes a reference);
    // the index is chosen from the shown number as a knob does.
    void setImageStrip(CBitmap* strip, int32_t imageCount, CCoord imageHeight = 0);

    float shownNumber() const;
    // What the display prints now.
    std::string text() const;
    // The number formatted by the rules: with a prefix "<prefix> %<w>.<p>f",
    // else "%<w>.<p>f", then the unit appended; integer mode prints "%d".
    static std::string format(float number, const std::string& prefix, int32_t width, int32_t precision,
                              const std::string& unit, bool integer);
    int32_t imageIndex() const;

    void draw(CDrawContext* context) override;
    void refreshFromBound() override;

private:
    Mode mode_ = kNumber;
    const float* cell_ = nullptr;
    float scale_ = 1.0f, offset_ = 0.0f;
    std::string prefix_, unit_;
    int32_t width_ = 3, precision_ = 1;
    CColor textColor_ = kWhiteCColor;
    CFontDesc font_;
    CHoriTxtAlign align_ = kCenterText;
    CBitmap* strip_ = nullptr;
    int32_t count_ = 1;
    CCoord imageHeight_ = 0;
    float lastShown_ = 0.0f;
    std::string lastInfo_;
    std::string idleText_ = "no info";
    std::string message_;
};
