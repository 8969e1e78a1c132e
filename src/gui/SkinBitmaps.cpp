#include "gui/SkinBitmaps.h"

#include "gui/CBitmap.h"

namespace skin {
namespace {

struct SharedSet {
    int users = 0;
    CBitmap* bitmaps[kBitmapCount] = {};
};

SharedSet& shared() {
    static SharedSet set;
    return set;
}

} // namespace

void acquireBitmaps() {
    SharedSet& s = shared();
    if (s.users++ > 0) return;
    for (int32_t i = 0; i < kBitmapCount; ++i) {
        CBitmap* b = new CBitmap(kFirstBitmapId + i);
        if (!b->isLoaded()) {
            b->forget();
            b = nullptr;
        }
        s.bitmaps[i] = b;
    }
}

void releaseBitmaps() {
    SharedSet& s = shared();
    if (s.users == 0 || --s.users > 0) return;
    for (CBitmap*& b : s.bitmaps) {
        if (b) b->forget();
        b = nullptr;
    }
}

int bitmapUsers() { return shared().users; }

CBitmap* getBitmap(int32_t id) {
    if (id < kFirstBitmapId || id > kLastBitmapId) return nullptr;
    return shared().bitmaps[id - kFirstBitmapId];
}

} // namespace skin
