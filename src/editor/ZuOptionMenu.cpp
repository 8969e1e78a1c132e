#include "editor/ZuOptionMenu.h"

#include "editor/ZuMenuHelper.h"
#include "editor/ZuScrollbarY.h"
#include "gui/Alerts.h"
#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "params/SwitchPositions.h"

ZuOptionMenu::ZuOptionMenu(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                           uint32_t style)
    : ZuControl(size, listener, tag, background), style_(style) {
    setMin(0.0f);
    setMax(float(INT32_MAX));
    setDefaultValue(0.0f);
}

ZuOptionMenu::~ZuOptionMenu() { closePopup(); }

void ZuOptionMenu::addEntry(const std::string& text, int32_t value, uint32_t flags) {
    ZuOptionMenuEntryInfo e;
    e.text = text;
    e.value = value;
    e.flags = flags;
    entries_.push_back(std::move(e));
    setDirty(true);
}

void ZuOptionMenu::addEntries(const ZuOptionMenuUserEntry* entries, int32_t count) {
    for (int32_t i = 0; entries && i < count; ++i) addEntry(entries[i].text ? entries[i].text : "", entries[i].value);
}

void ZuOptionMenu::addEntries(const ZuOptionMenuUserEntryLong* entries, int32_t count) {
    for (int32_t i = 0; entries && i < count; ++i)
        addEntry(entries[i].text ? entries[i].text : "", entries[i].value, entries[i].flags);
}

ZuOptionMenu* ZuOptionMenu::addSubMenu(const std::string& text, std::unique_ptr<ZuOptionMenu> menu, int32_t value) {
    if (!menu) return nullptr;
    menu->parent_ = this;
    ZuOptionMenuEntryInfo e;
    e.text = text;
    e.value = value;
    e.subMenu = std::move(menu);
    entries_.push_back(std::move(e));
    setDirty(true);
    return entries_.back().subMenu.get();
}

void ZuOptionMenu::removeAllEntries() {
    // an open list shows these entries: it goes first
    rootMenu()->closePopup();
    entries_.clear();
    chosen_ = -1;
    setValue(0.0f);
    setDirty(true);
}

const ZuOptionMenuEntryInfo* ZuOptionMenu::getEntry(int32_t index) const {
    return index >= 0 && index < getNbEntries() ? &entries_[size_t(index)] : nullptr;
}

int32_t ZuOptionMenu::findValue(int32_t value) const {
    for (int32_t i = 0; i < getNbEntries(); ++i)
        if (entries_[size_t(i)].value == value) return i;
    return -1;
}

ZuOptionMenu* ZuOptionMenu::rootMenu() {
    ZuOptionMenu* m = this;
    while (m->parent_) m = m->parent_;
    return m;
}

void ZuOptionMenu::markChosen(int32_t index) {
    chosen_ = index;
    setValue(float(entries_[size_t(index)].value));
    setDirty(true);
}

bool ZuOptionMenu::choose(int32_t index) {
    const ZuOptionMenuEntryInfo* e = getEntry(index);
    if (!e || !e->canBeChosen()) return false;
    markChosen(index);
    entryChosen();
    // every menu above takes the entry that leads here
    ZuOptionMenu* child = this;
    for (ZuOptionMenu* p = parent_; p; child = p, p = p->parent_) {
        for (int32_t i = 0; i < p->getNbEntries(); ++i)
            if (p->entries_[size_t(i)].subMenu.get() == child) p->markChosen(i);
        p->subMenuChosen(child);
    }
    ZuOptionMenu* root = child;
    root->closePopup();
    const int32_t value = int32_t(root->getValue());
    if (root->extra_) root->extra_->optionMenuChosen(root, root->owner_, value);
    // the listener may rebuild the menus: nothing of this one is used after it
    root->notifyValueChanged();
    return true;
}

void ZuOptionMenu::setShownText(const std::string& text) {
    shownText_ = text;
    setDirty(true);
}

std::string ZuOptionMenu::getShownText() const {
    if (const ZuOptionMenuEntryInfo* e = getEntry(chosen_)) return e->text;
    return shownText_;
}

void ZuOptionMenu::refreshFromBound() {
    if (!getBoundValue() || !isVisible()) return;
    const float value = mapping::position(getTag(), mapping::unit(currentNormalised()), int32_t(boundFactor_));
    if (value == getValue() && chosen_ == findValue(int32_t(value))) return;
    setValue(value);
    chosen_ = value < float(INT32_MAX) ? findValue(int32_t(value)) : -1;
    setDirty(true);
}

bool ZuOptionMenu::popup(CFrame* frame, const CPoint& where, ZuControl* owner) {
    if (!frame) return false;
    closePopup();
    popup_.reset(); // closed before, so not on the call stack
    popupFrame_ = frame;
    owner_ = owner;
    aboutToOpen(owner);
    popup_ = std::make_unique<ZuMenuHelper>(frame, this, where);
    popup_->show();
    return true;
}

void ZuOptionMenu::closePopup() {
    if (popup_) popup_->close();
}

bool ZuOptionMenu::isPopupOpen() const { return popup_ && popup_->isOpen(); }

ZuMenuHelper* ZuOptionMenu::getPopup() const { return popup_.get(); }

void ZuOptionMenu::draw(CDrawContext* context) {
    if (!isVisible()) return;
    const CRect& r = getViewSize();
    CBitmap* bg = getBackground();
    if (bg && bg->isLoaded()) {
        // a strip of one image per value shows the image of the chosen value
        const CCoord h = r.height();
        const int32_t v = int32_t(getValue());
        const bool inStrip = h > 0 && v >= 0 && v < bg->getHeight() / h;
        bg->drawTransparent(context, r, CPoint(0, inStrip ? v * h : 0));
    }
    if (!showText_) return;
    context->setFont(font_);
    context->setFontColor(textColor_);
    context->drawString(getShownText().c_str(), r);
}

CMouseEventResult ZuOptionMenu::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!getViewSize().pointInside(where) || !isVisible()) return kMouseEventNotHandled;
    if (!(buttons & (kLButton | kRButton))) return kMouseEventNotHandled;
    const CRect& r = getViewSize();
    popup(getFrame(), CPoint(r.left, r.bottom), nullptr);
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void ZuOptionMenu::valueChanged(CControl* part) {
    ZuMenuHelper* helper = rootMenu()->getPopup();
    ZuMenuPanel* panel = helper ? helper->panelOf(this) : nullptr;
    const int32_t tag = part ? part->getTag() : -1;
    switch (tag) {
    case kPartList: {
        const int32_t index = int32_t(part->getValue());
        const ZuOptionMenuEntryInfo* e = getEntry(index);
        if (!e) return;
        if (e->subMenu) {
            if (helper && panel) helper->openSubMenu(panel, index);
            return;
        }
        choose(index); // may delete this menu: the last thing done here
        return;
    }
    case kPartScrollbar:
        if (panel) panel->scrollTo(int32_t(part->getValue()));
        return;
    case kPartScrollUp:
        if (panel) panel->scrollTo(panel->firstRow() - 1);
        return;
    case kPartScrollDown:
        if (panel) panel->scrollTo(panel->firstRow() + 1);
        return;
    default:
        alertBox("unknown value in ZuOptionMenu::valueChanged : val:%d", int(tag));
        return;
    }
}
