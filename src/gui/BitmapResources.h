// The module's bitmap resources by id: Windows BITMAP resources in the DLL,
// bitmaps linked into the shared object elsewhere. Both hand out the
// device-independent form (an info header, then the rows).
#pragma once

#include <cstddef>
#include <cstdint>

bool findBitmapResource(int32_t id, const uint8_t** data, size_t* size);
