// Text set in the built-in face: which face a font description maps onto,
// how a string decodes into glyph codes, and how wide it is.
#pragma once

#include <string>
#include <vector>

#include "gui/FontAtlas.h"
#include "gui/GuiTypes.h"

namespace textlayout {

// The face nearest in size (the smaller on a tie) of the wanted weight.
const fontatlas::FaceInfo& faceFor(const CFontDesc& font);
// UTF-8 where the bytes form it, otherwise each byte as Latin-1; characters
// the face does not have become '?'.
std::vector<int> decode(const char* text);
const fontatlas::GlyphInfo& glyph(const fontatlas::FaceInfo& face, int code);
int width(const fontatlas::FaceInfo& face, const std::vector<int>& codes);

} // namespace textlayout
