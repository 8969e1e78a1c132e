// The skin's bitmaps (resource ids 1000 to 1068), shared by every open editor
// of the module: the first acquire loads them all, the release that brings
// the count of users back to zero frees them. User-interface thread only.
#pragma once

#include <cstdint>

class CBitmap;

namespace skin {

constexpr int32_t kFirstBitmapId = 1000;
constexpr int32_t kLastBitmapId = 1068;
constexpr int32_t kBitmapCount = kLastBitmapId - kFirstBitmapId + 1;

void acquireBitmaps();
void releaseBitmaps();
int bitmapUsers();
// Null outside 1000..1068, while no editor holds the set, or when the
// resource could not be loaded.
CBitmap* getBitmap(int32_t id);

} // namespace skin
