#pragma once

#include "platform/graphics/TextMeasurer.h"

namespace gfx {

// Metrics that do not depend on any font file: every character (code point) advances by
// `advance` times the point size, lines are `lineHeight` times the point size apart and the
// baseline lies at four fifths of the line.
class FixedAdvanceTextMeasurer final : public TextMeasurer {
public:
    explicit FixedAdvanceTextMeasurer(double advance = 0.5, double lineHeight = 1.25);

    double widthOfText(std::string_view, const Font&) const override;
    double lineHeight(const Font&) const override;
    double ascent(const Font&) const override;

private:
    double m_advance;
    double m_lineHeight;
};

}
