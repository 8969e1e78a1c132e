// Basic value types of the view toolkit: points, rectangles, colours, font
// descriptions and the mouse button / modifier state.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

typedef int32_t CCoord;

struct CPoint {
    CCoord x = 0, y = 0;
    CPoint() = default;
    CPoint(CCoord x_, CCoord y_) : x(x_), y(y_) {}
    bool operator==(const CPoint&) const = default;
};

// Left and top inclusive, right and bottom exclusive.
struct CRect {
    CCoord left = 0, top = 0, right = 0, bottom = 0;
    CRect() = default;
    CRect(CCoord l, CCoord t, CCoord r, CCoord b) : left(l), top(t), right(r), bottom(b) {}
    bool operator==(const CRect&) const = default;

    CCoord width() const { return right - left; }
    CCoord height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    bool pointInside(const CPoint& p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    bool rectOverlap(const CRect& r) const {
        return !isEmpty() && !r.isEmpty() && r.left < right && r.right > left && r.top < bottom && r.bottom > top;
    }
    CRect& offset(CCoord dx, CCoord dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
        return *this;
    }
    // Intersection; an empty result when they do not meet.
    CRect& bound(const CRect& r) {
        left = std::max(left, r.left);
        top = std::max(top, r.top);
        right = std::min(right, r.right);
        bottom = std::min(bottom, r.bottom);
        if (isEmpty()) *this = CRect();
        return *this;
    }
    // Smallest rectangle holding both; an empty operand adds nothing.
    CRect& unite(const CRect& r) {
        if (r.isEmpty()) return *this;
        if (isEmpty()) return *this = r;
        left = std::min(left, r.left);
        top = std::min(top, r.top);
        right = std::max(right, r.right);
        bottom = std::max(bottom, r.bottom);
        return *this;
    }
};

struct CColor {
    uint8_t red = 0, green = 0, blue = 0, alpha = 255;
    bool operator==(const CColor&) const = default;
    uint32_t rgb() const { return (uint32_t(red) << 16) | (uint32_t(green) << 8) | blue; }
    static CColor fromRgb(uint32_t rgb, uint8_t a = 255) {
        return {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), a};
    }
};

const CColor kBlackCColor{0, 0, 0, 255};
const CColor kWhiteCColor{255, 255, 255, 255};
const CColor kTransparentCColor{0, 0, 0, 0};
const CColor kMagentaCColor{255, 0, 255, 255};

enum CTxtFace { kNormalFace = 0, kBoldFace = 1 };

// A font as a caller names it. Every family maps onto the built-in face; the
// size is the character height in pixels, as Windows fonts take it.
struct CFontDesc {
    std::string name = "Arial";
    CCoord size = 12;
    int32_t style = kNormalFace;
};

enum CHoriTxtAlign { kLeftText = 0, kCenterText, kRightText };

// Mouse buttons and modifier keys of one mouse event.
enum CButton : int32_t {
    kLButton = 1 << 0,
    kMButton = 1 << 1,
    kRButton = 1 << 2,
    kShift = 1 << 3,
    kControl = 1 << 4,
    kAlt = 1 << 5,
    kApple = 1 << 6, // the command key (Windows key on Windows, Super on X11)
    kDoubleClick = 1 << 7,
};
typedef int32_t CButtonState;

enum CMouseEventResult {
    kMouseEventNotHandled = 0,
    kMouseEventHandled,
    kMouseDownEventHandledButDontNeedMovedOrUpEvents,
};
