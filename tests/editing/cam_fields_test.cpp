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
    void SetUp() override
    {
        Speak(false);
        Load();
    }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    static void Speak(bool german)
    {
        QLocale::setDefault(german ? QLocale(QLocale::German, QLocale::Germany)
                                   : QLocale(QLocale::English, QLocale::UnitedStates));
    }
    static short& ModelValue(int family, int machine, int cam)
    {
        return (config::Model().*config::kCamArrays[family].values)[machine][cam];
    }
};

const char* kFamilies[] = { "TextScalaAnfang", "TextScalaEnde", "TextEinheit" };

}

// Text put into a box at once, as pasted; the caret ends behind it.
TEST_F(CamFields, RepairsWhatIsPutInAndStoresIt)
{
    const struct {
        const char* put;
        const char* shown;
        short stored;
        bool german = false;
    } cases[] = { { "12.7", "12", 12 }, { "-0.5", "-1", -1 }, { "-2.5", "-3", -3 },
        { "1e3", "1e3", 1000 }, { "  42 ", "  42 ", 42 }, { "3x", "25", 25 }, { "abc", "25", 25 },
        { "   ", "25", 25 }, { "inf", "25", 25 }, { "nan", "25", 25 }, { "-7", "-7", -7 },
        { "1,000", "1,000", 1 }, { "40000", "25", 25 }, { "\r42", "25", 25 },
        { "42\u00a0", "25", 25 }, { "1.000", "1.000", 1, true }, { "12,7", "12", 12, true } };
    for (const auto& c : cases)
        for (int family = 0; family < 3; ++family) {
            Speak(c.german);
            platform::Control& box = Find(kFamilies[family], 5);
            box.SetText("25");
            box.SetText(c.put);
            EXPECT_EQ(box.Text(), c.shown) << c.put << " in " << kFamilies[family];
            EXPECT_EQ(ModelValue(family, 1, 5), c.stored) << c.put << " in " << kFamilies[family];
            EXPECT_EQ(box.CaretPosition(), static_cast<int>(box.Text().size())) << c.put;
        }
    EXPECT_EQ(ModelValue(0, 2, 5), 0) << "the other machine keeps its value";
    std::vector<std::string> overflows;
    for (const char* family : kFamilies)
        overflows.push_back("Fehler in Lobix / Lobix_Config_Exe / " + std::string(family)
            + "_Change (Nr. 6) :Overflow");
    EXPECT_EQ(installation.shown.size(), 3u) << "overflow only";
    EXPECT_EQ(Lines(installation.Read("TVXcfglog.txt")), overflows);
}

// Typed key by key over a selected text, as a user types: a number still being typed keeps its
// text and caret until it is complete or the box is left, a complete one keeps its text then; what
// does not fit is not shown. An emptied box falls back to its family's default.
TEST_F(CamFields, TypedKeyByKeyTheBoxShowsWhatWillBeSaved)
{
    const struct {
        bool german;
        int family;
        const char* keys; // '\b' is Backspace
        bool leave; // Tab to the next box afterwards
        const char* shown;
        short stored;
        int caret; // -1: at the end
        size_t reports = 0;
    } cases[] = { { false, 1, "-5", false, "-5", -5, -1 },
        { false, 1, "-0.5", false, "-1", -1, -1 }, { false, 2, "-.5", false, "-1", -1, -1 },
        { false, 1, "1e3", true, "1e3", 1000, -1 }, { false, 1, "-2e-", false, "-2e-", -2, -1 },
        { false, 1, "-", false, "-", 25, -1 }, { false, 1, "-", true, "25", 25, -1 },
        { false, 0, "1e-", true, "1", 1, -1 }, { false, 1, "40000", false, "4000", 4000, -1, 1 },
        { false, 1, "--", false, "25", 25, -1 }, { false, 1, "ab", false, "25", 25, -1 },
        { false, 1, "5,", false, "5", 5, -1 }, { false, 0, "\b", false, "0", 0, 0 },
        { false, 1, "\b", false, "359", 359, 3 }, { false, 2, "\b", false, "1", 1, 1 },
        { false, 0, "\b7", false, "70", 70, -1 }, { true, 1, "-,5", false, "-1", -1, -1 },
        { true, 1, "12,", false, "12,", 12, -1 }, { true, 1, "-1.", false, "-1", -1, -1 },
        { true, 2, "+", true, "25", 25, -1 } };
    ShowActive();
    for (const auto& c : cases) {
        Speak(c.german);
        platform::Control& box = Find(kFamilies[c.family], 5);
        box.SetText("25");
        box.Widget()->clearFocus();
        box.Widget()->setFocus(Qt::OtherFocusReason); // the line edit itself selects nothing then
        ASSERT_EQ(box.SelectionLength(), 2) << "entering selects the text";
        installation.shown.clear();
        QTest::keyClicks(box.Widget(), QString::fromUtf8(c.keys));
        if (c.leave)
            QTest::keyClick(box.Widget(), Qt::Key_Tab);
        const std::string label = c.keys + std::string(c.leave ? " then Tab" : "");
        EXPECT_EQ(box.Text(), c.shown) << label;
        EXPECT_EQ(ModelValue(c.family, 1, 5), c.stored) << label;
        EXPECT_EQ(box.CaretPosition(), c.caret < 0 ? static_cast<int>(box.Text().size()) : c.caret)
            << label;
        EXPECT_EQ(installation.shown.size(), c.reports) << label;
    }
}

TEST(CamNumbers, ReadsTheLeadingNumberAndRoundsHalvesToEven)
{
    const std::pair<const char*, double> numbers[] = { { "12", 12 }, { " 1 2\t3\n", 123 },
        { "-5", -5 }, { "+5", 5 }, { "1.000", 1 }, { "1e3", 1000 }, { "2.5E-1", 0.25 }, { "7e", 7 },
        { "12abc", 12 }, { "1.2.3", 1.2 }, { "abc", 0 }, { "", 0 }, { ".5", 0.5 } };
    for (const auto& [text, value] : numbers)
        EXPECT_DOUBLE_EQ(editing::LeadingNumber(text), value) << text;
    const std::pair<double, short> roundings[] = { { 2.5, 2 }, { 3.5, 4 }, { -2.5, -2 }, { 0.5, 0 },
        { 1.4999, 1 }, { 32767.4, 32767 }, { -32768, -32768 } };
    for (const auto& [value, rounded] : roundings)
        EXPECT_EQ(editing::RoundToInteger(value), rounded) << value;
    for (double tooLarge : { 32767.5, 40000.0, -32768.6, 1e300 })
        EXPECT_THROW(editing::RoundToInteger(tooLarge), platform::Failure) << tooLarge;
}
