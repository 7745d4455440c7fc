#include "platform/graphics/FixedAdvanceTextMeasurer.h"

#include "platform/foundation/Unicode.h"

namespace gfx {

FixedAdvanceTextMeasurer::FixedAdvanceTextMeasurer(double advance, double lineHeight)
    : m_advance(advance)
    , m_lineHeight(lineHeight)
{
}

double FixedAdvanceTextMeasurer::widthOfText(std::string_view text, const Font& font) const
{
    size_t characters = 0;
    for (size_t offset = 0; offset < text.size(); ++characters)
        fnd::unicode::decodeNext(text, offset);
    return static_cast<double>(characters) * m_advance * font.pointSize();
}

double FixedAdvanceTextMeasurer::lineHeight(const Font& font) const
{
    return m_lineHeight * font.pointSize();
}

double FixedAdvanceTextMeasurer::ascent(const Font& font) const
{
    return 0.8 * lineHeight(font);
}

}
