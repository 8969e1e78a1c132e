#include "gui/MessageLayout.h"

#include <algorithm>

#include "gui/CDrawContext.h"

namespace {
constexpr CCoord kMargin = 16, kMaxTextWidth = 420, kMinWidth = 240, kButtonWidth = 80, kButtonHeight = 24;
constexpr size_t kMaxLines = 40; // a longer text is cut; the box must fit a screen

// Appends the word to the lines, breaking it between characters when it is
// wider than the width on its own.
void placeWord(const CDrawContext& m, std::vector<std::string>& lines, std::string& line, const std::string& word,
               CCoord maxWidth) {
    const std::string joined = line.empty() ? word : line + " " + word;
    if (m.getStringWidth(joined.c_str()) <= maxWidth) {
        line = joined;
        return;
    }
    if (!line.empty()) lines.push_back(line);
    line.clear();
    for (char c : word) {
        std::string longer = line + c;
        if (!line.empty() && m.getStringWidth(longer.c_str()) > maxWidth) {
            lines.push_back(line);
            longer = std::string(1, c);
        }
        line = longer;
    }
}
} // namespace

std::vector<std::string> wrapMessageText(const CDrawContext& m, const char* text, CCoord maxWidth) {
    std::vector<std::string> lines;
    std::string line, word;
    auto endWord = [&] {
        if (!word.empty()) placeWord(m, lines, line, word, maxWidth);
        word.clear();
    };
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == '\n') {
            endWord();
            lines.push_back(line);
            line.clear();
        } else if (*p == ' ' || *p == '\t' || *p == '\r') {
            endWord();
        } else {
            word.push_back(*p);
        }
    }
    endWord();
    if (!line.empty() || lines.empty()) lines.push_back(line);
    return lines;
}

MessageLayout layoutMessage(const CDrawContext& m, const char* text) {
    MessageLayout l;
    l.lines = wrapMessageText(m, text, kMaxTextWidth);
    if (l.lines.size() > kMaxLines) {
        l.lines.resize(kMaxLines);
        l.lines.back() += " ...";
    }
    CCoord widest = 0;
    for (const std::string& line : l.lines) widest = std::max(widest, m.getStringWidth(line.c_str()));
    l.lineHeight = m.getFont().size + 5;
    l.width = std::max(kMinWidth, widest + 2 * kMargin);
    const CCoord textHeight = l.lineHeight * CCoord(l.lines.size());
    l.textArea = CRect(kMargin, kMargin, l.width - kMargin, kMargin + textHeight);
    const CCoord buttonTop = l.textArea.bottom + kMargin;
    l.button = CRect((l.width - kButtonWidth) / 2, buttonTop, (l.width + kButtonWidth) / 2, buttonTop + kButtonHeight);
    l.height = l.button.bottom + kMargin;
    return l;
}

void drawMessage(CDrawContext& c, const MessageLayout& l, bool pressed) {
    c.setFillColor(CColor{232, 232, 232, 255});
    c.fillRect(CRect(0, 0, l.width, l.height));
    c.setFontColor(kBlackCColor);
    for (size_t i = 0; i < l.lines.size(); ++i) {
        const CCoord top = l.textArea.top + CCoord(i) * l.lineHeight;
        c.drawString(l.lines[i].c_str(), CRect(l.textArea.left, top, l.textArea.right, top + l.lineHeight), kLeftText);
    }
    c.setFillColor(pressed ? CColor{190, 190, 190, 255} : CColor{250, 250, 250, 255});
    c.fillRect(l.button);
    c.setFrameColor(CColor{96, 96, 96, 255});
    c.drawRect(l.button);
    c.drawString("OK", l.button, kCenterText);
}
