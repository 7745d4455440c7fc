#include "GraphicsTestSupport.h"

#include "platform/graphics/FixedAdvanceTextMeasurer.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/TextLayout.h"

using namespace gfx;
using namespace brenzo::testing;

namespace {

// At 10 points: 5 points a character, lines 12.5 points apart.
class FixedMetrics : public ::testing::Test {
protected:
    ScopedTextMeasurer m_measurer { std::make_shared<FixedAdvanceTextMeasurer>(0.5, 1.25) };
    Font m_font = Font::systemFont(10);
};

std::vector<std::string> textsOf(const TextLayout& layout)
{
    std::vector<std::string> texts;
    for (const auto& line : layout.lines())
        texts.push_back(line.text);
    return texts;
}

// Rows of the context (memory order) that hold any dark pixel, and where the ink starts and ends.
struct Ink {
    int top = -1, bottom = -1, left = -1, right = -1;
    size_t widestRowWidth = 0;
    int widestRow = -1;
};

Ink inkOf(const GraphicsContext& context)
{
    Ink ink;
    for (size_t row = 0; row < context.pixelsHigh(); ++row) {
        size_t count = 0;
        for (size_t x = 0; x < context.pixelsWide(); ++x) {
            if (context.pixelAt(x, row).alpha < 128)
                continue;
            ++count;
            if (ink.top < 0)
                ink.top = int(row);
            ink.bottom = int(row);
            if (ink.left < 0 || int(x) < ink.left)
                ink.left = int(x);
            ink.right = std::max(ink.right, int(x));
        }
        if (count > ink.widestRowWidth) {
            ink.widestRowWidth = count;
            ink.widestRow = int(row);
        }
    }
    return ink;
}

}

TEST_F(FixedMetrics, MeasuresOneLineByItsCharacters)
{
    EXPECT_EQ(TextLayout::sizeOfLine("hello", m_font), Size(25, 13));
    EXPECT_EQ(TextLayout::sizeOfLine("héllo", m_font), Size(25, 13));
    EXPECT_EQ(TextLayout::sizeOfLine("", m_font), Size(0, 13));
    EXPECT_EQ(TextLayout::sizeOfLine("abc", Font::boldSystemFont(22)), Size(33, 28));
    EXPECT_EQ(TextMeasurer::current()->widthOfText("abcd", Font::systemFont(11)), 22);
}

TEST_F(FixedMetrics, WrapsAtBlanks)
{
    TextLayout layout("aaaa bbbb cccc", m_font, Size(50, 0), LineBreakMode::WordWrap);
    EXPECT_EQ(textsOf(layout), (std::vector<std::string> { "aaaa bbbb", "cccc" }));
    EXPECT_EQ(layout.size(), Size(45, 25));
    EXPECT_EQ(TextLayout::sizeOfText("aaaa bbbb cccc", m_font, Size(50, 9999), LineBreakMode::WordWrap), Size(45, 25));

    // Blanks at a break vanish; a word longer than the line is broken where it must be.
    EXPECT_EQ(textsOf(TextLayout("aaaa      bbbb", m_font, Size(30, 0), LineBreakMode::WordWrap)),
        (std::vector<std::string> { "aaaa", "bbbb" }));
    EXPECT_EQ(textsOf(TextLayout("abcdefghijkl", m_font, Size(25, 0), LineBreakMode::WordWrap)),
        (std::vector<std::string> { "abcde", "fghij", "kl" }));
    EXPECT_EQ(textsOf(TextLayout("aaaa bbbb", m_font, Size(30, 0), LineBreakMode::CharacterWrap)),
        (std::vector<std::string> { "aaaa b", "bbb" }));
}

TEST_F(FixedMetrics, KeepsExplicitLineEnds)
{
    TextLayout layout("one\ntwo\r\nthree", m_font, Size(), LineBreakMode::WordWrap);
    EXPECT_EQ(textsOf(layout), (std::vector<std::string> { "one", "two", "three" }));
    EXPECT_EQ(layout.size(), Size(25, 38));
}

TEST_F(FixedMetrics, KeepsOnlyTheLinesThatFit)
{
    EXPECT_EQ(TextLayout::sizeOfText("aa bb cc dd", m_font, Size(10, 30), LineBreakMode::WordWrap), Size(10, 25));
    EXPECT_EQ(textsOf(TextLayout("aa bb cc dd", m_font, Size(10, 0), LineBreakMode::WordWrap, 3)),
        (std::vector<std::string> { "aa", "bb", "cc" }));
    // Even a box lower than a line shows one line.
    EXPECT_EQ(TextLayout::sizeOfText("aa bb", m_font, Size(10, 4), LineBreakMode::WordWrap), Size(10, 13));
}

TEST_F(FixedMetrics, TruncationMarksTheMissingText)
{
    std::string text = "aaaa bbbb cccc";
    Size oneLine(50, 12.5);
    EXPECT_EQ(textsOf(TextLayout(text, m_font, oneLine, LineBreakMode::TailTruncation)), std::vector<std::string> { "aaaa bb..." });
    EXPECT_EQ(textsOf(TextLayout(text, m_font, oneLine, LineBreakMode::HeadTruncation)), std::vector<std::string> { "...bb cccc" });
    EXPECT_EQ(textsOf(TextLayout(text, m_font, oneLine, LineBreakMode::MiddleTruncation)), std::vector<std::string> { "aaaa...ccc" });
    EXPECT_EQ(textsOf(TextLayout(text, m_font, oneLine, LineBreakMode::Clip)), std::vector<std::string> { text });
    EXPECT_EQ(textsOf(TextLayout(text, m_font, oneLine, LineBreakMode::WordWrap)), std::vector<std::string> { "aaaa bbbb" });

    // The last line that fits carries the mark; text that fits is left alone.
    EXPECT_EQ(textsOf(TextLayout("aaaa bbbb cccc dddd eeee", m_font, Size(50, 25), LineBreakMode::TailTruncation)),
        (std::vector<std::string> { "aaaa bbbb", "cccc dd..." }));
    EXPECT_EQ(textsOf(TextLayout("short", m_font, oneLine, LineBreakMode::TailTruncation)), std::vector<std::string> { "short" });
    EXPECT_EQ(textsOf(TextLayout("one\ntwo", m_font, oneLine, LineBreakMode::TailTruncation)), std::vector<std::string> { "one..." });
}

TEST_F(FixedMetrics, MalformedTextIsMeasuredWithReplacementCharacters)
{
    EXPECT_EQ(TextLayout::sizeOfLine(std::string("a\xff" "b"), m_font), Size(15, 13));
}

TEST(TextMeasurer, ScopedMeasurerRestoresThePreviousOne)
{
    auto before = TextMeasurer::current();
    ASSERT_TRUE(before);
    {
        auto fixed = std::make_shared<FixedAdvanceTextMeasurer>();
        ScopedTextMeasurer scope(fixed);
        EXPECT_EQ(TextMeasurer::current(), fixed);
    }
    EXPECT_EQ(TextMeasurer::current(), before);
    auto previous = TextMeasurer::setCurrent(nullptr);
    EXPECT_TRUE(TextMeasurer::current());
    TextMeasurer::setCurrent(previous);
}

TEST(TextMeasurer, DefaultMeasuresTheRealFont)
{
    auto measurer = TextMeasurer::current();
    Font regular = Font::systemFont(11);
    double width = measurer->widthOfText("Hello", regular);
    EXPECT_GT(width, 15);
    EXPECT_LT(width, 45);
    EXPECT_NEAR(measurer->widthOfText("Hello", regular.withSize(22)), 2 * width, 0.5);
    EXPECT_GT(measurer->widthOfText("WWWW", Font::boldSystemFont(11)), measurer->widthOfText("WWWW", regular));
    EXPECT_GT(measurer->widthOfText("WWWW", regular), measurer->widthOfText("iiii", regular));
    EXPECT_GT(measurer->lineHeight(regular), 11);
    EXPECT_LT(measurer->ascent(regular), measurer->lineHeight(regular));
    EXPECT_EQ(measurer->widthOfText("", regular), 0);
    EXPECT_EQ(measurer->widthOfText("abc", regular.withSize(0)), 0);
    // Malformed text must not spoil the font for later measurements.
    EXPECT_GT(measurer->widthOfText(std::string("\xc3\x28"), regular), 0);
    EXPECT_DOUBLE_EQ(measurer->widthOfText("Hello", regular), width);
}

TEST(TextDrawing, TextReadsUprightInBothKindsOfContext)
{
    // A "T": its widest row is the bar at the top, whichever way the context counts y.
    auto imageContext = ImageContext::create(Size(60, 60), false, 1);
    imageContext->drawText("T", Rect(0, 0, 60, 60), Font::boldSystemFont(40), Color::black());
    Ink upright = inkOf(*imageContext);
    ASSERT_GE(upright.top, 0);
    EXPECT_LT(upright.widestRow - upright.top, (upright.bottom - upright.top) / 4);

    auto bitmap = rgbaContext(60, 60);
    bitmap->drawText("T", Rect(0, 0, 60, 60), Font::boldSystemFont(40), Color::black());
    Ink alsoUpright = inkOf(*bitmap);
    ASSERT_GE(alsoUpright.top, 0);
    EXPECT_LT(alsoUpright.widestRow - alsoUpright.top, (alsoUpright.bottom - alsoUpright.top) / 4);
    EXPECT_EQ(alsoUpright.top, upright.top);
}

TEST(TextDrawing, AlignmentPlacesTheLineAndTheRectangleClips)
{
    Font font = Font::boldSystemFont(12);
    auto left = ImageContext::create(Size(100, 20), false, 1);
    left->drawText("ab", Rect(0, 0, 100, 20), font, Color::black(), TextAlignment::Left);
    EXPECT_LT(inkOf(*left).right, 30);

    auto right = ImageContext::create(Size(100, 20), false, 1);
    right->drawText("ab", Rect(0, 0, 100, 20), font, Color::black(), TextAlignment::Right);
    EXPECT_GT(inkOf(*right).left, 70);

    auto centre = ImageContext::create(Size(100, 20), false, 1);
    centre->drawText("ab", Rect(0, 0, 100, 20), font, Color::black(), TextAlignment::Center);
    Ink centred = inkOf(*centre);
    EXPECT_NEAR((centred.left + centred.right) / 2.0, 50, 4);

    auto clipped = ImageContext::create(Size(100, 40), false, 1);
    Size used = clipped->drawText("MMMMMMMMMM", Rect(10, 10, 20, 12), Font::systemFont(30), Color::black(), TextAlignment::Left,
        LineBreakMode::Clip);
    EXPECT_GT(used.width, 20);
    Ink ink = inkOf(*clipped);
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.right, 29);
    EXPECT_GE(ink.top, 10);
    EXPECT_LE(ink.bottom, 21);
}

TEST(TextDrawing, TextAtAPointStartsThere)
{
    auto context = ImageContext::create(Size(80, 40), false, 1);
    Size used = context->drawTextAtPoint("Hi", Point(30, 10), Font::systemFont(12), Color::black());
    EXPECT_GT(used.width, 0);
    Ink ink = inkOf(*context);
    EXPECT_GE(ink.left, 30);
    EXPECT_GE(ink.top, 10);
    EXPECT_LE(ink.bottom, 10 + used.height);
}

TEST(TextDrawing, ClearBlendModeCutsTheLettersOut)
{
    auto context = ImageContext::create(Size(60, 20), false, 1);
    context->setFillColor(Color(1, 0, 0));
    context->fillRect(Rect(0, 0, 60, 20));
    context->setBlendMode(BlendMode::Clear);
    context->drawText("MM", Rect(0, 0, 60, 20), Font::boldSystemFont(16), Color::white());
    size_t cleared = 0;
    for (size_t x = 0; x < 60; ++x) {
        for (size_t y = 0; y < 20; ++y)
            cleared += context->pixelAt(x, y).alpha == 0;
    }
    EXPECT_GT(cleared, 20u);
    EXPECT_EQ(context->pixelAt(59, 19), opaqueRed);
}

TEST(TextDrawing, NothingIsDrawnForUnusableInput)
{
    auto context = ImageContext::create(Size(20, 20), false, 1);
    EXPECT_EQ(context->drawText("x", Rect(0, 0, 0, 10), Font::systemFont(10), Color::black()), Size());
    EXPECT_EQ(context->drawText("x", Rect(0, 0, 10, 10), Font::systemFont(0), Color::black()), Size());
    // Malformed text is drawn as replacement characters, one line high.
    Size malformed = context->drawTextAtPoint(std::string("\xff\xfe"), Point(0, 0), Font::systemFont(10), Color::black());
    EXPECT_EQ(malformed.height, TextLayout::sizeOfLine("a", Font::systemFont(10)).height);
    EXPECT_GT(malformed.width, 0);
    // The context still draws afterwards.
    context->fillRect(Rect(0, 0, 20, 20));
    EXPECT_EQ(context->pixelAt(10, 10), opaqueBlack);
}
