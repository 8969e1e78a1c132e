#include "editor/EditorSnapshot.h"

#include <cstring>

#include "editor/ZuUniClientEditor.h"
#include "gui/CFrame.h"
#include "plugin/AudioEffect.h"

bool snapshotEditor(AudioEffect* effect, uint32_t* pixels, int32_t width, int32_t height) {
    if (!effect || !pixels) return false;
    auto* editor = dynamic_cast<ZuUniClientEditor*>(effect->getEditor());
    CFrame* frame = editor && editor->isOpen() ? editor->getFrame() : nullptr;
    if (!frame) return false;
    const COffscreenContext& image = frame->offscreen();
    if (width != image.getWidth() || height != image.getHeight()) return false;
    frame->redrawDirty();
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) pixels[size_t(y) * size_t(width) + size_t(x)] = image.getPixel(x, y);
    return true;
}
