#include "gui/CBitmap.h"

#include "gui/BitmapResources.h"
#include "gui/CDrawContext.h"
#include "gui/DibImage.h"

CBitmap::CBitmap(CCoord width, CCoord height) {
    if (width > 0 && height > 0) {
        width_ = width;
        height_ = height;
        pixels_.assign(size_t(width) * size_t(height), 0xFF000000u);
    }
}

CBitmap::CBitmap(int32_t resourceId) : resourceId_(resourceId) {
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (findBitmapResource(resourceId, &data, &size)) load(data, size);
}

bool CBitmap::load(const uint8_t* data, size_t size) {
    DecodedImage image;
    if (!decodeDib(data, size, image)) return false;
    width_ = image.width;
    height_ = image.height;
    hasAlpha_ = image.hasAlpha;
    pixels_ = std::move(image.pixels);
    return true;
}

void CBitmap::draw(CDrawContext* context, const CRect& dest, const CPoint& offset) const {
    if (context && isLoaded()) context->blit(*this, dest, offset, CDrawContext::kBlitOpaque);
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& dest, const CPoint& offset) const {
    if (context && isLoaded())
        context->blit(*this, dest, offset, hasAlpha_ ? CDrawContext::kBlitAlpha : CDrawContext::kBlitColourKey);
}
