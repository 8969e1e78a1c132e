// A bitmap held in memory as 0xAARRGGBB pixels, loaded from the module's
// bitmap resources by id or made from pixels. Bitmaps are reference counted:
// remember() takes a reference, forget() drops one and deletes the bitmap
// with the last, so always create them with new.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gui/GuiTypes.h"

class CDrawContext;

class CBitmap {
public:
    CBitmap(CCoord width, CCoord height);
    // Loads the bitmap resource with this id; isLoaded() tells whether it worked.
    explicit CBitmap(int32_t resourceId);

    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    void remember() { ++references_; }
    void forget() {
        if (--references_ <= 0) delete this;
    }
    int32_t getNbReference() const { return references_; }

    bool isLoaded() const { return !pixels_.empty(); }
    int32_t getResourceId() const { return resourceId_; }
    CCoord getWidth() const { return width_; }
    CCoord getHeight() const { return height_; }
    uint32_t* pixels() { return pixels_.data(); }
    const uint32_t* pixels() const { return pixels_.data(); }
    uint32_t pixel(CCoord x, CCoord y) const { return pixels_[size_t(y) * size_t(width_) + size_t(x)]; }

    // 24-bit images are drawn transparently with a colour key (magenta by
    // default); images with an alpha channel are blended by it.
    bool hasAlpha() const { return hasAlpha_; }
    void setHasAlpha(bool on) { hasAlpha_ = on; }
    void setTransparentColor(const CColor& c) { transparentColor_ = c; }
    CColor getTransparentColor() const { return transparentColor_; }

    // Copies the part of the bitmap that starts at offset into dest.
    void draw(CDrawContext* context, const CRect& dest, const CPoint& offset = CPoint()) const;
    void drawTransparent(CDrawContext* context, const CRect& dest, const CPoint& offset = CPoint()) const;

private:
    ~CBitmap() = default;
    bool load(const uint8_t* data, size_t size);

    int32_t references_ = 1;
    int32_t resourceId_ = -1;
    CCoord width_ = 0, height_ = 0;
    bool hasAlpha_ = false;
    CColor transparentColor_ = kMagentaCColor;
    std::vector<uint32_t> pixels_;
};
