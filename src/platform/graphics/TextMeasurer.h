#pragma once

#include "platform/graphics/Font.h"

#include <memory>
#include <string_view>

namespace gfx {

// The metrics that text layout needs. The process has one current measurer: by default the fonts
// themselves (cairo with DejaVu); layout tests install a fixed one so that they do not depend on
// the machine's fonts. Text given here is valid UTF-8 on one line.
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;

    virtual double widthOfText(std::string_view, const Font&) const = 0;
    // The distance from one line's top to the next one's.
    virtual double lineHeight(const Font&) const = 0;
    // From a line's top to its baseline.
    virtual double ascent(const Font&) const = 0;

    static std::shared_ptr<const TextMeasurer> current();
    // Installs a measurer (null: the default one) and answers the one it replaces.
    static std::shared_ptr<const TextMeasurer> setCurrent(std::shared_ptr<const TextMeasurer>);
};

// Installs a measurer for a scope.
class ScopedTextMeasurer {
public:
    explicit ScopedTextMeasurer(std::shared_ptr<const TextMeasurer> measurer)
        : m_previous(TextMeasurer::setCurrent(std::move(measurer)))
    {
    }
    ~ScopedTextMeasurer() { TextMeasurer::setCurrent(std::move(m_previous)); }
    ScopedTextMeasurer(const ScopedTextMeasurer&) = delete;
    ScopedTextMeasurer& operator=(const ScopedTextMeasurer&) = delete;

private:
    std::shared_ptr<const TextMeasurer> m_previous;
};

}
