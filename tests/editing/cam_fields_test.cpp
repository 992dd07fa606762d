// Editing the cam value fields: how entries are repaired, where the caret goes, what is stored.
#include "config/cam_settings.h"
#include "editing/cam_fields.h"
#include "platform/system/failure.h"
#include "support/dialog_fixture.h"

#include <QLocale>
#include <QTest>

using namespace testing_support;

namespace {

struct CamFields : DialogTest {
    void SetUp() override { Load(); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
};

const char* kFamilies[] = { "TextScalaAnfang", "TextScalaEnde", "TextEinheit" };

}

// Each box entered with its text "25" selected, then the text put in at once, as pasted, or typed
// key by key, as a user types: a number still being typed keeps its text and caret until it is
// complete or the box is left (a complete one keeps its text then); what does not fit is not
// shown. An emptied box falls back to its family's default.
TEST_F(CamFields, TheBoxShowsWhatWillBeSaved)
{
    enum Entry { Put, Typed, TypedAndLeft };
    const struct {
        const char* text; // typed: '\b' is Backspace
        Entry entry;
        const char* shown;
        short stored;
        int family = -1; // all three
        bool german = false;
        int caret = -1; // at the end
    } cases[] = { { "12.7", Put, "12", 12 }, { "-2.5", Put, "-3", -3 },
        { "  42 ", Put, "  42 ", 42 }, { "3x", Put, "25", 25 }, { "   ", Put, "25", 25 },
        { "inf", Put, "25", 25 }, { "nan", Put, "25", 25 }, { "1,000", Put, "1,000", 1 },
        { "40000", Put, "25", 25 }, { "\r42", Put, "25", 25 }, { "42\u00a0", Put, "25", 25 },
        { "1.000", Put, "1.000", 1, -1, true }, { "12,7", Put, "12", 12, -1, true },
        { "-5", Typed, "-5", -5 }, { "-0.5", Typed, "-1", -1 }, { "-.5", Typed, "-1", -1 },
        { "1e3", TypedAndLeft, "1e3", 1000 }, { "-2e-", Typed, "-2e-", -2 },
        { "-", Typed, "-", 25 }, { "1e-", TypedAndLeft, "1", 1 },
        { "40000", Typed, "4000", 4000, 1 }, { "--", Typed, "25", 25 }, { "ab", Typed, "25", 25 },
        { "5,", Typed, "5", 5 }, { "\b", Typed, "0", 0, 0, false, 0 },
        { "\b", Typed, "359", 359, 1, false, 3 }, { "\b", Typed, "1", 1, 2, false, 1 },
        { "\b7", Typed, "70", 70, 0 }, { "-,5", Typed, "-1", -1, -1, true },
        { "12,", Typed, "12,", 12, -1, true }, { "-1.", Typed, "-1", -1, -1, true },
        { "+", TypedAndLeft, "25", 25, -1, true } };
    ShowActive();
    for (const auto& c : cases)
        for (int family = 0; family < 3; ++family) {
            if (c.family >= 0 && c.family != family)
                continue;
            QLocale::setDefault(QLocale(c.german ? QLocale::German : QLocale::English));
            platform::Control& box = Find(kFamilies[family], 5);
            box.SetText("25");
            box.Widget()->clearFocus();
            // For this reason the line edit itself selects nothing.
            box.Widget()->setFocus(Qt::OtherFocusReason);
            ASSERT_EQ(box.SelectionLength(), 2) << "entering selects the text";
            if (c.entry == Put)
                box.SetText(c.text);
            else
                QTest::keyClicks(box.Widget(), QString::fromUtf8(c.text));
            if (c.entry == TypedAndLeft)
                QTest::keyClick(box.Widget(), Qt::Key_Tab);
            const std::string label = c.text
                + std::string(c.entry == Put ? " put in " : " typed in ") + kFamilies[family];
            EXPECT_EQ(box.Text(), c.shown) << label;
            EXPECT_EQ((config::Model().*config::kCamArrays[family].values)[1][5], c.stored)
                << label;
            EXPECT_EQ(box.CaretPosition(), c.caret < 0 ? int(box.Text().size()) : c.caret) << label;
        }
    std::vector<std::string> overflows;
    for (const char* family :
        { "TextScalaAnfang", "TextScalaEnde", "TextEinheit", "TextScalaEnde" })
        overflows.push_back("Fehler in Lobix / Lobix_Config_Exe / " + std::string(family)
            + "_Change (Nr. 6) :Overflow");
    EXPECT_EQ(Lines(installation.Read("TVXcfglog.txt")), overflows);
    EXPECT_EQ(installation.shown.size(), overflows.size()) << "overflows only";
}

TEST(CamNumbers, ReadsTheLeadingNumberAndRoundsHalvesToEven)
{
    const std::pair<const char*, double> numbers[]
        = { { " 1 2\t3\n", 123 }, { "+5", 5 }, { "2.5E-1", 0.25 }, { "7e", 7 }, { "12abc", 12 },
              { "1.2.3", 1.2 }, { "abc", 0 }, { "", 0 }, { ".5", 0.5 } };
    for (const auto& [text, value] : numbers)
        EXPECT_DOUBLE_EQ(editing::LeadingNumber(text), value) << text;
    const std::pair<double, short> roundings[] = { { 2.5, 2 }, { 3.5, 4 }, { -2.5, -2 }, { 0.5, 0 },
        { 1.4999, 1 }, { 32767.4, 32767 }, { -32768, -32768 } };
    for (const auto& [value, rounded] : roundings)
        EXPECT_EQ(editing::RoundToInteger(value), rounded) << value;
    for (double tooLarge : { 32767.5, 40000.0, -32768.6, 1e300 })
        EXPECT_THROW(editing::RoundToInteger(tooLarge), platform::Failure) << tooLarge;
}
