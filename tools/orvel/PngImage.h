// PNG coding of an RGB picture in memory.
#pragma once

#include <cstdint>
#include <vector>

// rows of 0x00RRGGBB pixels, width x height; an empty result when libpng fails.
std::vector<uint8_t> encodePng(const uint32_t* pixels, int width, int height);
