#include "services/twitter/SHKiOS5Twitter.h"

#include "platform/foundation/Unicode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A sheet that takes texts of at most `limit` UTF-16 units and records every offer.
struct OfferLog {
    size_t limit;
    std::vector<std::string> offers;

    bool accept(const std::string& text)
    {
        offers.push_back(text);
        return fnd::unicode::utf16Length(text) <= limit;
    }
};

std::vector<size_t> lengths(const std::vector<std::string>& texts)
{
    std::vector<size_t> result;
    for (auto& text : texts)
        result.push_back(fnd::unicode::utf16Length(text));
    return result;
}

}

TEST(TwitterTweetSheetTest, InitialTextShrinksOneCharacterAtATimeUntilTheSheetTakesIt)
{
    OfferLog sheet { 137, {} };
    auto accepted = SHKiOS5Twitter::offerInitialText(std::string(200, 'a'), [&](auto& text) { return sheet.accept(text); });
    EXPECT_EQ(lengths(sheet.offers), (std::vector<size_t> { 140, 139, 138, 137 }));
    EXPECT_EQ(accepted, std::string(137, 'a'));

    OfferLog empty { 140, {} };
    EXPECT_EQ(SHKiOS5Twitter::offerInitialText("", [&](auto& text) { return empty.accept(text); }), "");
    EXPECT_EQ(empty.offers, std::vector<std::string> { "" });

    OfferLog refusing { 0, {} };
    auto none = SHKiOS5Twitter::offerInitialText("abc", [&](auto& text) { return refusing.accept(text) && !text.empty(); });
    EXPECT_FALSE(none);
    EXPECT_EQ(refusing.offers, (std::vector<std::string> { "abc", "ab", "a", "" }));
}

TEST(TwitterTweetSheetTest, ACutNeverFallsInsideASurrogatePair)
{
    // 139 letters and an emoji: 141 units, the 140th and 141st being one character.
    const std::string emoji = "\xF0\x9F\x98\x80";
    OfferLog sheet { 140, {} };
    auto accepted = SHKiOS5Twitter::offerInitialText(std::string(139, 'a') + emoji + "b", [&](auto& text) { return sheet.accept(text); });
    EXPECT_EQ(lengths(sheet.offers), std::vector<size_t> { 139 });
    EXPECT_EQ(accepted, std::string(139, 'a'));

    OfferLog small { 2, {} };
    accepted = SHKiOS5Twitter::offerInitialText("a" + emoji + "b", [&](auto& text) { return small.accept(text); });
    EXPECT_EQ(small.offers, (std::vector<std::string> { "a" + emoji + "b", "a" + emoji, "a" }));
    EXPECT_EQ(accepted, "a");
}
