#include "editor/ZuUniClientEditor.h"

#include "plugin/ZuUniClient.h"

ZuUniClientEditor::ZuUniClientEditor(ZuUniClient* effect)
    : AEffEditor(effect), client_(effect) {}

ZuUniClientEditor::~ZuUniClientEditor() = default;

bool ZuUniClientEditor::getRect(ERect** rect) {
    *rect = &rect_;
    return true;
}

bool ZuUniClientEditor::open(void* parentWindow) {
    systemWindow_ = parentWindow;
    open_ = true;
    return true;
}

void ZuUniClientEditor::close() {
    open_ = false;
    systemWindow_ = nullptr;
}

void ZuUniClientEditor::requestRefresh() {
    if (open_) refreshRequested_ = true;
}
