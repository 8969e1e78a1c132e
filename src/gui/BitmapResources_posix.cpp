#include <cstring>

#include "gui/BitmapResources.h"
#include "gui/EmbeddedBitmaps.h"

bool findBitmapResource(int32_t id, const uint8_t** data, size_t* size) {
    for (int i = 0; i < kEmbeddedBitmapCount; ++i) {
        const EmbeddedBitmap& e = kEmbeddedBitmaps[i];
        if (e.id != id) continue;
        // The linked-in files are .bmp files: skip the 14-byte file header
        // so callers see the same form as a Windows resource.
        size_t n = size_t(e.end - e.begin);
        if (n < 14 || e.begin[0] != 'B' || e.begin[1] != 'M') return false;
        *data = e.begin + 14;
        *size = n - 14;
        return true;
    }
    return false;
}
