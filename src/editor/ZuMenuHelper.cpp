#include "editor/ZuMenuHelper.h"

#include <algorithm>

#include "editor/ZuOptionMenu.h"
#include "editor/ZuScrollbarY.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/TextLayout.h"

namespace {

const CColor kPanelColour{32, 32, 32, 255};
const CColor kBorderColour{170, 170, 170, 255};
const CColor kHoverColour{70, 90, 130, 255};
const CColor kTitleTextColour{150, 150, 150, 255};

// The rows of a panel; reports the pressed entry as its value.
class ZuMenuList : public CControl {
public:
    ZuMenuList(const CRect& size, ZuOptionMenu* menu) : CControl(size, menu, ZuOptionMenu::kPartList), menu_(menu) {}

    void draw(CDrawContext* context) override {
        auto* panel = static_cast<ZuMenuPanel*>(getParentView());
        context->setFont(menu_->getFont());
        for (int32_t row = 0; row < panel->visibleRows(); ++row) {
            const int32_t index = panel->firstRow() + row;
            const ZuOptionMenuEntryInfo* e = menu_->getEntry(index);
            if (!e) break;
            CRect r = panel->rowRect(index);
            if (index == panel->hover() && !e->isTitle()) {
                context->setFillColor(kHoverColour);
                context->fillRect(r);
            }
            context->setFontColor(e->isTitle() ? kTitleTextColour : kWhiteCColor);
            CRect text = r;
            text.left += 4;
            text.right -= 12;
            context->drawString(e->text.c_str(), text, e->isTitle() ? kCenterText : kLeftText);
            if (index == menu_->getChosenIndex()) {
                context->setFillColor(kWhiteCColor);
                context->fillRect(CRect(r.left + 1, r.top + 6, r.left + 3, r.top + 10));
            }
            if (e->subMenu) {
                CRect arrow = r;
                arrow.left = r.right - 12;
                context->drawString(">", arrow, kCenterText);
            }
        }
    }

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override {
        if (!(buttons & (kLButton | kRButton))) return kMouseEventNotHandled;
        const int32_t index = static_cast<ZuMenuPanel*>(getParentView())->entryAt(where);
        if (index < 0) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
        setValue(float(index));
        // the report may close and rebuild the menus: nothing of this view is used after it
        notifyValueChanged();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }

private:
    ZuOptionMenu* menu_;
};

// A scroll button: reports every press.
class ZuMenuArrow : public CControl {
public:
    ZuMenuArrow(const CRect& size, ZuOptionMenu* menu, int32_t tag) : CControl(size, menu, tag) {}

    void draw(CDrawContext* context) override {
        const CRect& r = getViewSize();
        context->setFillColor(CColor{60, 60, 60, 255});
        context->fillRect(r);
        context->setFrameColor(kWhiteCColor);
        const CCoord cx = r.left + r.width() / 2, cy = r.top + r.height() / 2;
        const bool up = getTag() == ZuOptionMenu::kPartScrollUp;
        for (CCoord i = 0; i < 4; ++i) {
            const CCoord y = up ? cy - 2 + i : cy + 1 - i;
            context->drawLine(CPoint(cx - i, y), CPoint(cx + i, y));
        }
    }

    CMouseEventResult onMouseDown(CPoint&, const CButtonState& buttons) override {
        if (!(buttons & kLButton)) return kMouseEventNotHandled;
        notifyValueChanged();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
};

CCoord textWidth(const CFontDesc& font, const std::string& text) {
    return textlayout::width(textlayout::faceFor(font), textlayout::decode(text.c_str()));
}

} // namespace

// ---- ZuMenuPanel

ZuMenuPanel::ZuMenuPanel(const CRect& size, ZuOptionMenu* menu, int32_t visibleRows, int32_t depth)
    : CViewContainer(size), menu_(menu), visibleRows_(std::max(visibleRows, 1)), depth_(depth) {
    const CRect inner(size.left + ZuMenuHelper::kBorder, size.top + ZuMenuHelper::kBorder,
                      size.right - ZuMenuHelper::kBorder, size.bottom - ZuMenuHelper::kBorder);
    const int32_t entries = menu->getNbEntries();
    if (entries > visibleRows_) {
        const CCoord x = inner.right - ZuMenuHelper::kScrollWidth;
        const CCoord arrow = ZuMenuHelper::kScrollWidth;
        addView(new ZuMenuArrow(CRect(x, inner.top, inner.right, inner.top + arrow), menu, ZuOptionMenu::kPartScrollUp));
        scrollbar_ = new ZuScrollbarY(CRect(x, inner.top + arrow, inner.right, inner.bottom - arrow), menu,
                                      ZuOptionMenu::kPartScrollbar, entries, visibleRows_);
        addView(scrollbar_);
        addView(new ZuMenuArrow(CRect(x, inner.bottom - arrow, inner.right, inner.bottom), menu,
                                ZuOptionMenu::kPartScrollDown));
    }
    addView(new ZuMenuList(listRect(), menu));
}

CRect ZuMenuPanel::listRect() const {
    const CRect& s = getViewSize();
    CRect r(s.left + ZuMenuHelper::kBorder, s.top + ZuMenuHelper::kBorder, s.right - ZuMenuHelper::kBorder,
            s.bottom - ZuMenuHelper::kBorder);
    if (scrollbar_ || menu_->getNbEntries() > visibleRows_) r.right -= ZuMenuHelper::kScrollWidth;
    return r;
}

CRect ZuMenuPanel::rowRect(int32_t entry) const {
    const CRect list = listRect();
    const CCoord top = list.top + (entry - first_) * ZuMenuHelper::kRowHeight;
    return CRect(list.left, top, list.right, top + ZuMenuHelper::kRowHeight);
}

int32_t ZuMenuPanel::entryAt(const CPoint& where) const {
    const CRect list = listRect();
    if (!list.pointInside(where)) return -1;
    const int32_t index = first_ + (where.y - list.top) / ZuMenuHelper::kRowHeight;
    return index < menu_->getNbEntries() && index < first_ + visibleRows_ ? index : -1;
}

void ZuMenuPanel::scrollTo(int32_t first) {
    first = std::clamp(first, 0, std::max(0, menu_->getNbEntries() - visibleRows_));
    if (scrollbar_) scrollbar_->setValue(float(first));
    if (first == first_) return;
    first_ = first;
    for (int i = 0; i < getNbViews(); ++i) getView(i)->setDirty(true);
}

void ZuMenuPanel::setHover(int32_t entry) {
    if (entry == hover_) return;
    hover_ = entry;
    if (CView* list = getView(getNbViews() - 1)) list->setDirty(true);
}

void ZuMenuPanel::drawRect(CDrawContext* context, const CRect& area, const CView* skip) {
    context->setFillColor(kPanelColour);
    context->fillRect(getViewSize());
    context->setFrameColor(kBorderColour);
    context->drawRect(getViewSize());
    CViewContainer::drawRect(context, area, skip);
}

// ---- ZuMenuHelper

ZuMenuHelper::ZuMenuHelper(CFrame* frame, ZuOptionMenu* menu, const CPoint& where)
    : CViewContainer(frame->getViewSize()), frame_(frame) {
    openLevel(menu, where, nullptr);
}

ZuMenuPanel* ZuMenuHelper::level(int32_t depth) const {
    return depth >= 0 && depth < levelCount() ? levels_[size_t(depth)] : nullptr;
}

ZuMenuPanel* ZuMenuHelper::panelOf(const ZuOptionMenu* menu) const {
    for (ZuMenuPanel* p : levels_)
        if (p->getMenu() == menu) return p;
    return nullptr;
}

ZuMenuPanel* ZuMenuHelper::openLevel(ZuOptionMenu* menu, CPoint where, const CRect* besides) {
    const CRect area = getViewSize();
    const int32_t entries = menu->getNbEntries();
    const int32_t maxRows = std::max<CCoord>(1, (area.height() - 2 * kBorder) / kRowHeight);
    const int32_t rows = std::clamp(entries, 1, maxRows);

    CCoord width = 0;
    for (int32_t i = 0; i < entries; ++i) width = std::max(width, textWidth(menu->getFont(), menu->getEntry(i)->text));
    width += 20 + 2 * kBorder; // margin and the sub-menu mark
    width = std::max(width, menu->getViewSize().width());
    if (entries > rows) width += kScrollWidth;
    width = std::min(width, area.width());
    const CCoord height = rows * kRowHeight + 2 * kBorder;

    if (besides) {
        // right of the parent level, or left of it when there is no room
        where.x = besides->right;
        if (where.x + width > area.right) where.x = besides->left - width;
    }
    where.x = std::clamp(where.x, area.left, std::max(area.left, area.right - width));
    where.y = std::clamp(where.y, area.top, std::max(area.top, area.bottom - height));

    auto* panel = new ZuMenuPanel(CRect(where.x, where.y, where.x + width, where.y + height), menu, rows,
                                  levelCount());
    const int32_t chosen = menu->getChosenIndex();
    if (chosen >= rows) panel->scrollTo(chosen - rows + 1); // the chosen entry in sight
    addView(panel);
    levels_.push_back(panel);
    if (frame_) frame_->invalidRect(panel->getViewSize());
    return panel;
}

void ZuMenuHelper::closeLevelsFrom(int32_t depth) {
    while (levelCount() > depth && levelCount() > 0) {
        ZuMenuPanel* p = levels_.back();
        levels_.pop_back();
        if (frame_) frame_->invalidRect(p->getViewSize());
        removeView(p);
    }
}

void ZuMenuHelper::openSubMenu(ZuMenuPanel* from, int32_t entryIndex) {
    const ZuOptionMenuEntryInfo* e = from->getMenu()->getEntry(entryIndex);
    if (!e || !e->subMenu) return;
    if (ZuMenuPanel* open = level(from->depth() + 1); open && open->getMenu() == e->subMenu.get()) return;
    closeLevelsFrom(from->depth() + 1);
    const CRect row = from->rowRect(entryIndex);
    const CRect besides = from->getViewSize();
    openLevel(e->subMenu.get(), CPoint(besides.right, row.top - kBorder), &besides);
}

void ZuMenuHelper::show() {
    open_ = true;
    if (frame_) frame_->setModalView(this);
}

void ZuMenuHelper::close() {
    if (!open_) return;
    open_ = false;
    if (frame_ && frame_->getModalView() == this) frame_->setModalView(nullptr);
}

CMouseEventResult ZuMenuHelper::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!getViewAt(where, false)) {
        close();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    return CViewContainer::onMouseDown(where, buttons);
}

CMouseEventResult ZuMenuHelper::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    for (ZuMenuPanel* p : levels_) p->setHover(p->entryAt(where));
    return CViewContainer::onMouseMoved(where, buttons);
}

bool ZuMenuHelper::onWheel(const CPoint& where, float distance, const CButtonState&) {
    for (auto it = levels_.rbegin(); it != levels_.rend(); ++it)
        if ((*it)->getViewSize().pointInside(where)) {
            (*it)->scrollTo((*it)->firstRow() - int32_t(distance * 3.0f));
            return true;
        }
    return false;
}
