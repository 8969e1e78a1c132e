// The product identity every part that shows a name or version uses.
#pragma once

#include <cstdint>

namespace product {
constexpr const char* kName = "Orvel";
constexpr const char* kVendor = "Tamblor";
constexpr int32_t kVersionNumber = 4;  // the product version stored in states
constexpr const char* kVersionText = "1.0.0.000";
constexpr int32_t kVendorVersion = 1030;
constexpr int32_t kUniqueId = 0x7A756F72; // "zuor"
} // namespace product
