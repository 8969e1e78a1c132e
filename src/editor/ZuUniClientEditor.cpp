#include "editor/ZuUniClientEditor.h"

#include "gui/SkinBitmaps.h"
#include "plugin/ZuUniClient.h"

ZuUniClientEditor::ZuUniClientEditor(ZuUniClient* effect)
    : AEffEditor(effect), client_(effect) {}

ZuUniClientEditor::~ZuUniClientEditor() { close(); }

bool ZuUniClientEditor::getRect(ERect** rect) {
    *rect = &rect_;
    return true;
}

bool ZuUniClientEditor::open(void* parentWindow) {
    if (open_) return true;
    systemWindow_ = parentWindow;
    // The skin is shared by every open editor of the module.
    skin::acquireBitmaps();
    open_ = true;
    return true;
}

void ZuUniClientEditor::close() {
    if (open_) skin::releaseBitmaps();
    open_ = false;
    systemWindow_ = nullptr;
}

CBitmap* ZuUniClientEditor::getBitmap(int32_t resourceId) { return skin::getBitmap(resourceId); }

void ZuUniClientEditor::requestRefresh() {
    if (open_) refreshRequested_ = true;
}
