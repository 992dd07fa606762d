// Letter case of UTF-8 and Windows-1252 texts: upper-casing, comparing and finding.
#include "platform/system/text.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Text, UpperCaseKeepsEachTextsEncoding)
{
    const std::pair<std::string, std::string> cases[] = {
        { "füller.nöcken_1", "FÜLLER.NÖCKEN_1" },
        { "f\xFCller", "F\xDCLLER" }, // Windows-1252
        { "stra\xDF\xFF", "STRA\xDF\x9F" }, // ß has no simple upper case; ÿ becomes 0x9F
        { "\xB5m", "\xB5M" }, // µ's upper case is Greek, which Windows-1252 cannot hold
        { "ıx", "IX" },
    };
    for (const auto& [text, upper] : cases)
        EXPECT_EQ(UpperCase(text), upper) << text;
}

TEST(Text, ComparesAndFindsLettersWithoutRegardToCase)
{
    struct Case {
        const char* text;
        const char* search;
        bool equal;
        std::optional<std::pair<size_t, size_t>> found;
    } cases[] = {
        { "Füller", "FÜLLER", true, std::pair<size_t, size_t> { 0, 7 } },
        { "f\xFCller", "FÜLLER", true, std::pair<size_t, size_t> { 0, 6 } },
        { "ı ###MACHINE x", "###machine", false, std::pair<size_t, size_t> { 3, 13 } },
        { "Kurve Ä###Machine", "ä###machine", false, std::pair<size_t, size_t> { 6, 18 } },
        { "Filler", "Füller", false, std::nullopt },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EqualsIgnoringCase(c.text, c.search), c.equal) << c.text;
        std::optional<TextSpan> span = FindIgnoringCase(c.text, c.search);
        EXPECT_EQ(span ? std::optional(std::pair(span->begin, span->end)) : std::nullopt, c.found)
            << c.text;
    }
    // One order for texts with and without other letters, as an index needs, also past a long
    // equal beginning.
    EXPECT_LT(CompareIgnoringCase("_", "a"), 0);
    EXPECT_LT(CompareIgnoringCase("_é", "Aé"), 0);
    EXPECT_LT(CompareIgnoringCase("Filler.Lobix.CamOff10", "FILLER.LOBIX.CAMOFF9"), 0);
    EXPECT_EQ(CompareIgnoringCase("Filler.Lobix.Nöcken", "Filler.Lobix.NÖCKEN"), 0);
    EXPECT_LT(CompareIgnoringCase("Filler.Lobix.Ä", "Filler.Lobix.Öl"), 0);
}
