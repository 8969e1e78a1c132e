// The plug-in's editor object. It lives from the plug-in's construction on;
// its window exists only between open and close.
#pragma once

#include <array>
#include <cstdint>

#include "plugin/AEffEditor.h"

class CBitmap;
class ZuUniClient;

// One bit per control group; bit g is bit g mod 32 of word g / 32.
struct VisibilityMask {
    std::array<uint32_t, 4> words{1u, 0u, 0u, 0u};
    bool test(int bit) const { return (words[bit / 32] >> (bit % 32)) & 1u; }
    void set(int bit, bool on) {
        if (on)
            words[bit / 32] |= 1u << (bit % 32);
        else
            words[bit / 32] &= ~(1u << (bit % 32));
    }
};

class ZuUniClientEditor : public AEffEditor {
public:
    explicit ZuUniClientEditor(ZuUniClient* effect);
    ~ZuUniClientEditor() override;

    bool getRect(ERect** rect) override;
    bool open(void* parentWindow) override;
    void close() override;
    bool isOpen() override { return open_; }
    // A skin bitmap (ids 1000..1068) while an editor is open, else null.
    CBitmap* getBitmap(int32_t resourceId);

    VisibilityMask& mask() { return mask_; }
    // Marks the frame for a full redraw at the next idle tick when open.
    void requestRefresh();
    bool refreshRequested() const { return refreshRequested_; }

private:
    ZuUniClient* client_;
    ERect rect_{0, 0, 425, 682};
    bool open_ = false;
    bool refreshRequested_ = false;
    VisibilityMask mask_;
};
