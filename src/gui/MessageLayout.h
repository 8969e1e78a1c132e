// The layout of a message window: the text broken into lines that fit a
// width, and the window's size and button place around them.
#pragma once

#include <string>
#include <vector>

#include "gui/GuiTypes.h"

class CDrawContext;

// Breaks at line feeds and, within a paragraph, between words; a word wider
// than the width is broken between characters. Tabs count as blanks.
std::vector<std::string> wrapMessageText(const CDrawContext& measure, const char* text, CCoord maxWidth);

struct MessageLayout {
    std::vector<std::string> lines;
    CCoord width = 0, height = 0, lineHeight = 0;
    CRect textArea, button;
};

MessageLayout layoutMessage(const CDrawContext& measure, const char* text);
// Draws the window's contents; 'pressed' shows the button held down.
void drawMessage(CDrawContext& context, const MessageLayout& layout, bool pressed);
