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

// Where a line of text set in a box starts: the pen's left and the baseline,
// the line centred vertically and aligned horizontally in the box.
struct Placement {
    CCoord penX, baseline;
};
Placement place(const fontatlas::FaceInfo& face, const std::vector<int>& codes, const CRect& box, CHoriTxtAlign align);
// The pixels the glyphs cover when the pen starts there (empty for blank text).
CRect inkBox(const fontatlas::FaceInfo& face, const std::vector<int>& codes, const Placement& at);

} // namespace textlayout
