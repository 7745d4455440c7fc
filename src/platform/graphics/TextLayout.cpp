#include "platform/graphics/TextLayout.h"

#include "platform/foundation/Unicode.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace gfx {

namespace {

double usableLimit(double limit)
{
    if (!(limit > 0) || std::isinf(limit))
        return std::numeric_limits<double>::infinity();
    return limit;
}

bool isBlank(char character)
{
    return character == ' ' || character == '\t';
}

std::string_view trimmedTrailingBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> splitParagraphs(std::string_view text)
{
    std::vector<std::string_view> paragraphs;
    size_t start = 0;
    for (size_t index = 0; index < text.size(); ++index) {
        if (text[index] != '\n' && text[index] != '\r')
            continue;
        paragraphs.push_back(text.substr(start, index - start));
        if (text[index] == '\r' && index + 1 < text.size() && text[index + 1] == '\n')
            ++index;
        start = index + 1;
    }
    paragraphs.push_back(text.substr(start));
    return paragraphs;
}

// Byte offsets of each character's start, followed by the text's length.
std::vector<size_t> characterBoundaries(std::string_view text)
{
    std::vector<size_t> boundaries;
    size_t offset = 0;
    while (offset < text.size()) {
        boundaries.push_back(offset);
        fnd::unicode::decodeNext(text, offset);
    }
    boundaries.push_back(text.size());
    return boundaries;
}

// The largest count in [0, maximum] for which `fits` holds, assuming it holds for fewer whenever it
// holds for more.
template<typename Predicate>
size_t largestCountThatFits(size_t maximum, Predicate fits)
{
    size_t low = 0;
    size_t high = maximum;
    while (low < high) {
        size_t middle = low + (high - low + 1) / 2;
        if (fits(middle))
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

}

TextLayout::TextLayout(std::string_view text, const Font& font, Size limit, LineBreakMode mode, int maximumLines, const TextMeasurer& measurer)
    : m_measurer(&measurer)
    , m_font(font)
    , m_lineHeight(measurer.lineHeight(font))
    , m_ascent(measurer.ascent(font))
{
    layOut(drawableText(text), limit, mode, maximumLines);
    m_measurer = nullptr;
}

bool TextLayout::isDrawable(char32_t codePoint)
{
    if (codePoint == '\n')
        return true;
    bool control = codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
    bool nonCharacter = (codePoint >= 0xFDD0 && codePoint <= 0xFDEF) || (codePoint & 0xFFFE) == 0xFFFE;
    return !control && !nonCharacter;
}

std::string TextLayout::drawableText(std::string_view text)
{
    // The font renderer refuses a whole string for one character it does not take, so those go
    // here and the rest is drawn; a tab reads as a space.
    std::string valid = fnd::unicode::isValidUTF8(text) ? std::string(text) : fnd::unicode::sanitizedUTF8(text);
    std::string drawable;
    drawable.reserve(valid.size());
    for (size_t offset = 0; offset < valid.size();) {
        char32_t codePoint = fnd::unicode::decodeNext(valid, offset);
        if (codePoint == '\t')
            drawable += ' ';
        else if (isDrawable(codePoint))
            fnd::unicode::appendUTF8(drawable, codePoint);
    }
    return drawable;
}

TextLayout::TextLayout(std::string_view text, const Font& font, Size limit, LineBreakMode mode, int maximumLines)
    : TextLayout(text, font, limit, mode, maximumLines, *TextMeasurer::current())
{
}

Size TextLayout::sizeOfLine(std::string_view text, const Font& font)
{
    return TextLayout(text, font, {}, LineBreakMode::Clip, 1).size();
}

Size TextLayout::sizeOfText(std::string_view text, const Font& font, Size limit, LineBreakMode mode)
{
    return TextLayout(text, font, limit, mode).size();
}

Size TextLayout::size() const
{
    double widest = 0;
    for (const Line& line : m_lines)
        widest = std::max(widest, line.width);
    return { std::ceil(widest), std::ceil(m_lineHeight * static_cast<double>(m_lines.size())) };
}

double TextLayout::widthOf(std::string_view text) const
{
    return m_measurer->widthOfText(text, m_font);
}

void TextLayout::addLine(std::string text)
{
    double width = widthOf(text);
    m_lines.push_back({ std::move(text), width });
}

void TextLayout::layOut(std::string_view text, Size limit, LineBreakMode mode, int maximumLines)
{
    double widthLimit = usableLimit(limit.width);
    size_t allowedLines = std::numeric_limits<size_t>::max();
    if (maximumLines > 0)
        allowedLines = static_cast<size_t>(maximumLines);
    double heightLimit = usableLimit(limit.height);
    if (!std::isinf(heightLimit) && m_lineHeight > 0)
        allowedLines = std::min(allowedLines, std::max<size_t>(1, static_cast<size_t>(std::floor(heightLimit / m_lineHeight + 1e-9))));

    // A single clipped line runs on past the limit; drawing cuts it off.
    if (mode == LineBreakMode::Clip && allowedLines == 1)
        widthLimit = std::numeric_limits<double>::infinity();

    bool truncates = mode == LineBreakMode::HeadTruncation || mode == LineBreakMode::TailTruncation || mode == LineBreakMode::MiddleTruncation;
    std::vector<std::string_view> paragraphs = splitParagraphs(text);
    for (size_t paragraphIndex = 0; paragraphIndex < paragraphs.size(); ++paragraphIndex) {
        std::string_view paragraph = paragraphs[paragraphIndex];
        std::vector<Piece> pieces = wrap(paragraph, widthLimit, mode);
        for (size_t pieceIndex = 0; pieceIndex < pieces.size(); ++pieceIndex) {
            const Piece& piece = pieces[pieceIndex];
            bool isLastAllowed = m_lines.size() + 1 == allowedLines;
            bool moreFollows = pieceIndex + 1 < pieces.size() || paragraphIndex + 1 < paragraphs.size();
            if (isLastAllowed && moreFollows && truncates) {
                // The rest of the paragraph goes on this line, marked as cut short.
                std::string rest(paragraph.substr(piece.start));
                addLine(truncate(rest, widthLimit, mode));
                return;
            }
            addLine(std::string(trimmedTrailingBlanks(paragraph.substr(piece.start, piece.end - piece.start))));
            if (isLastAllowed)
                return;
        }
    }
}

std::vector<TextLayout::Piece> TextLayout::wrap(std::string_view paragraph, double limit, LineBreakMode mode) const
{
    if (std::isinf(limit) || widthOf(paragraph) <= limit)
        return { { 0, paragraph.size() } };

    std::vector<size_t> boundaries = characterBoundaries(paragraph);
    size_t characterCount = boundaries.size() - 1;
    std::vector<Piece> pieces;
    size_t first = 0;
    while (first < characterCount) {
        size_t fitting = largestCountThatFits(characterCount - first, [&](size_t count) {
            std::string_view candidate = paragraph.substr(boundaries[first], boundaries[first + count] - boundaries[first]);
            return widthOf(trimmedTrailingBlanks(candidate)) <= limit;
        });
        size_t end = first + std::max<size_t>(fitting, 1);
        if (end < characterCount && mode != LineBreakMode::CharacterWrap) {
            // Break after the last blank that fits, unless the line is one word too long.
            size_t blank = end;
            while (blank > first && !isBlank(paragraph[boundaries[blank]]))
                --blank;
            if (blank > first)
                end = blank;
        }
        pieces.push_back({ boundaries[first], boundaries[end] });
        first = end;
        while (first < characterCount && isBlank(paragraph[boundaries[first]]))
            ++first;
    }
    if (pieces.empty())
        pieces.push_back({ 0, paragraph.size() });
    return pieces;
}

std::string TextLayout::truncate(std::string_view text, double limit, LineBreakMode mode) const
{
    std::vector<size_t> boundaries = characterBoundaries(text);
    size_t characterCount = boundaries.size() - 1;
    auto prefix = [&](size_t count) { return trimmedTrailingBlanks(text.substr(0, boundaries[count])); };
    auto suffix = [&](size_t count) { return text.substr(boundaries[characterCount - count]); };
    auto compose = [&](size_t count) {
        std::string result;
        switch (mode) {
        case LineBreakMode::HeadTruncation:
            result.append(ellipsis).append(suffix(count));
            break;
        case LineBreakMode::MiddleTruncation:
            result.append(prefix((count + 1) / 2)).append(ellipsis).append(suffix(count / 2));
            break;
        default:
            result.append(prefix(count)).append(ellipsis);
            break;
        }
        return result;
    };
    size_t kept = largestCountThatFits(characterCount, [&](size_t count) { return widthOf(compose(count)) <= limit; });
    return compose(kept);
}

}
