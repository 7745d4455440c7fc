#pragma once

#include "platform/graphics/Font.h"
#include "platform/graphics/Size.h"
#include "platform/graphics/TextMeasurer.h"

#include <string>
#include <string_view>
#include <vector>

namespace gfx {

// Numbered as the platform numbered them.
enum class TextAlignment {
    Left = 0,
    Center = 1,
    Right = 2,
};

enum class LineBreakMode {
    WordWrap = 0,
    CharacterWrap = 1,
    Clip = 2,
    HeadTruncation = 3,
    TailTruncation = 4,
    MiddleTruncation = 5,
};

// Text broken into lines. Lines break at explicit line ends, and where a line would grow wider than
// the limit: at the last blank for most modes (a word wider than the limit is broken between
// characters), between characters for CharacterWrap; Clip with room for one line only does not break
// at all, the drawing cuts the line off. Only the lines that fit the height (at least
// one) and the maximum line count are kept; in the truncation modes the last kept line then ends
// (or starts, or is cut in the middle) with "..." to show that text is missing.
class TextLayout {
public:
    struct Line {
        std::string text;
        double width { 0 };
    };

    static constexpr std::string_view ellipsis = "...";

    // A width or height limit that is 0, negative or infinite limits nothing; so does a maximum
    // line count of 0. Malformed UTF-8 is drawn with replacement characters.
    TextLayout(std::string_view text, const Font&, Size limit, LineBreakMode, int maximumLines, const TextMeasurer&);
    TextLayout(std::string_view text, const Font&, Size limit, LineBreakMode, int maximumLines = 0);

    // The size of the text on one line.
    static Size sizeOfLine(std::string_view, const Font&);
    // The text as it is drawn: malformed bytes replaced, control characters (but line ends) and
    // noncharacters left out.
    static std::string drawableText(std::string_view);
    static bool isDrawable(char32_t);
    // The size of the text broken into lines within the limit.
    static Size sizeOfText(std::string_view, const Font&, Size limit, LineBreakMode);

    const std::vector<Line>& lines() const { return m_lines; }
    double lineHeight() const { return m_lineHeight; }
    double ascent() const { return m_ascent; }
    // The widest line by the number of lines, each rounded up to whole points.
    Size size() const;

private:
    struct Piece {
        size_t start;
        size_t end;
    };

    void layOut(std::string_view text, Size limit, LineBreakMode, int maximumLines);
    std::vector<Piece> wrap(std::string_view paragraph, double limit, LineBreakMode) const;
    std::string truncate(std::string_view text, double limit, LineBreakMode) const;
    double widthOf(std::string_view) const;
    void addLine(std::string);

    // Only during construction: the layout keeps no measurer.
    const TextMeasurer* m_measurer;
    Font m_font;
    double m_lineHeight;
    double m_ascent;
    std::vector<Line> m_lines;
};

}
