#include "editor/ZuDisplay.h"

#include <climits>
#include <cmath>
#include <cstdio>

#include "editor/ZuFrame.h"
#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"

namespace {

// The prefix goes into a printf format: its own percent signs must stay text.
std::string escapePercent(const std::string& s) {
    std::string out;
    for (char c : s) {
        out += c;
        if (c == '%') out += '%';
    }
    return out;
}

} // namespace

ZuDisplay::ZuDisplay(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background)
    : ZuControl(size, listener, tag, background) {}

ZuDisplay::~ZuDisplay() { setImageStrip(nullptr, 1); }

void ZuDisplay::setMode(Mode mode) {
    mode_ = mode;
    setDirty(true);
}

void ZuDisplay::bindDisplay(const float* cell, float scale, float offset) {
    cell_ = cell;
    scale_ = scale;
    offset_ = offset;
    lastShown_ = shownNumber();
    setDirty(true);
}

void ZuDisplay::setIdleText(const std::string& text) {
    if (text == idleText_) return;
    idleText_ = text;
    setDirty(true);
}

void ZuDisplay::setMessage(const std::string& text) {
    if (text == message_) return;
    message_ = text;
    setDirty(true);
}

void ZuDisplay::setFieldFormat(int32_t width, int32_t precision) {
    // bounded so the formatted text always fits
    width_ = width < 0 ? 0 : width > 64 ? 64 : width;
    precision_ = precision < 0 ? 0 : precision > 16 ? 16 : precision;
    setDirty(true);
}

void ZuDisplay::setImageStrip(CBitmap* strip, int32_t imageCount, CCoord imageHeight) {
    if (strip) strip->remember();
    if (strip_) strip_->forget();
    strip_ = strip;
    count_ = imageCount > 0 ? imageCount : 1;
    imageHeight_ = imageHeight > 0 ? imageHeight : (strip ? strip->getHeight() / count_ : 0);
    setDirty(true);
}

float ZuDisplay::shownNumber() const { return (cell_ ? *cell_ : getValue()) * scale_ + offset_; }

std::string ZuDisplay::format(float number, const std::string& prefix, int32_t width, int32_t precision,
                              const std::string& unit, bool integer) {
    char text[512];
    if (integer) {
        // out-of-range and NaN numbers have no int; print the nearest one
        const double d = std::isnan(number) ? 0.0 : double(number);
        const int value = d >= double(INT_MAX) ? INT_MAX : d <= double(INT_MIN) ? INT_MIN : int(d);
        std::snprintf(text, sizeof text, "%d", value);
    } else {
        char fmt[256];
        if (!prefix.empty())
            std::snprintf(fmt, sizeof fmt, "%s %%%d.%df", escapePercent(prefix).c_str(), int(width), int(precision));
        else
            std::snprintf(fmt, sizeof fmt, "%%%d.%df", int(width), int(precision));
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#endif
        std::snprintf(text, sizeof text, fmt, double(number));
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    }
    return std::string(text) + unit;
}

std::string ZuDisplay::text() const {
    if (mode_ == kInfo) {
        if (!message_.empty()) return message_;
        const ZuFrame* frame = dynamic_cast<const ZuFrame*>(getFrame());
        const ZuControl* hovered = frame ? frame->getHoveredControl() : nullptr;
        return hovered ? hovered->getInfoText() : idleText_;
    }
    return format(shownNumber(), prefix_, width_, precision_, unit_, mode_ == kInteger);
}

int32_t ZuDisplay::imageIndex() const {
    float v = shownNumber();
    v = v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f;
    return int32_t(float(count_ - 1) * v);
}

void ZuDisplay::draw(CDrawContext* context) {
    if (!isVisible()) return;
    const CRect& r = getViewSize();
    if (CBitmap* bg = getBackground(); bg && bg->isLoaded()) bg->draw(context, r);
    if (mode_ == kImage) {
        if (strip_ && strip_->isLoaded()) strip_->drawTransparent(context, r, CPoint(0, imageIndex() * imageHeight_));
        return;
    }
    context->setFont(font_);
    context->setFontColor(textColor_);
    context->drawString(text().c_str(), r, align_);
}

void ZuDisplay::refreshFromBound() {
    if (!isVisible()) return;
    if (mode_ == kInfo) {
        std::string now = text();
        if (now != lastInfo_) {
            lastInfo_ = std::move(now);
            setDirty(true);
        }
        return;
    }
    const float now = shownNumber();
    // NaN never equals itself: compare the bits' meaning instead of redrawing forever
    if (now != lastShown_ && !(std::isnan(now) && std::isnan(lastShown_))) {
        lastShown_ = now;
        setDirty(true);
    }
}
