// Editing the cam value fields: how entries are repaired, where the caret goes, what is stored.
#include "config/cam_settings.h"
#include "editing/cam_fields.h"
#include "platform/system/failure.h"
#include "support/dialog_fixture.h"

#include <QClipboard>
#include <QLocale>
#include <QTest>

using namespace testing_support;

namespace {

struct CamFields : DialogTest {
    void SetUp() override { Load(); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
};

const char* kFamilies[] = { "TextScalaAnfang", "TextScalaEnde", "TextEinheit" };

// Keys one at a time, with their text: "\b" is Backspace; a sign beyond Latin-1 ("\u2212") comes
// as from a keyboard layout that has it.
void Type(QWidget* box, const QString& keys)
{
    for (QChar key : keys)
        if (key.unicode() < 256)
            QTest::keyClick(box, key.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(key), Qt::NoModifier);
}

}

// Each box entered with its text "25" selected, then the text put in at once by code, pasted
// from the clipboard over the selection or at the start, or typed key by key: a number still
// being typed keeps its text and caret until it is complete; what does not fit is not shown; an
// emptied box falls back to its family's default. A paste keeps its first line. Whatever the box
// shows meanwhile, once it is left it shows the value stored.
TEST_F(CamFields, TheBoxShowsWhatWillBeSaved)
{
    enum Entry { Put, Typed, Pasted, PastedAtStart };
    const struct {
        const char* text;
        Entry entry;
        const char* shown; // while the box has the focus
        short stored;
        int family = -1; // all three
        QLocale::Language language = QLocale::English;
        int caret = -1; // at the end
    } cases[] = { { "12.7", Put, "12", 12 }, { "-2.5", Put, "-3", -3 },
        { "  42 ", Put, "  42 ", 42 }, { "3x", Put, "25", 25 }, { "   ", Put, "25", 25 },
        { "inf", Put, "25", 25 }, { "nan", Put, "25", 25 }, { "1,000", Put, "1,000", 1 },
        { "40000", Put, "25", 25 }, { "\r42", Put, "25", 25 }, { "42\u00a0", Put, "25", 25 },
        { "1.000", Put, "1.000", 1, -1, QLocale::German },
        { "12,7", Put, "12", 12, -1, QLocale::German }, { "\u22125", Put, "\u22125", -5 },
        { "50e\u22121", Put, "50e\u22121", 5 }, { "\u2212\u22125", Put, "25", 25 },
        { "\uFE635", Put, "25", 25 }, { "\uFF0D5", Put, "25", 25 }, { "\uFF0B5", Put, "25", 25 },
        { "\u0665", Put, "25", 25, -1, QLocale::Arabic }, { "250\r\n", Pasted, "250", 250 },
        { "250\n", Pasted, "250", 250 }, { "250\r", Pasted, "250", 250 },
        { "\u22125\r\n6\r\n", Pasted, "\u22125", -5 }, { "1\r\n9", PastedAtStart, "125", 125 },
        { "\r\n250", Pasted, "359", 359, 1 }, { "-5", Typed, "-5", -5 },
        { "\u22125", Typed, "\u22125", -5 }, { "-0.5", Typed, "-1", -1 },
        { "-.5", Typed, "-1", -1 }, { "1e3", Typed, "1e3", 1000 }, { "-2e-", Typed, "-2e-", -2 },
        { "-", Typed, "-", 25 }, { "1e-", Typed, "1e-", 1 }, { "40000", Typed, "4000", 4000, 1 },
        { "--", Typed, "25", 25 }, { "ab", Typed, "25", 25 }, { "5,", Typed, "5", 5 },
        { "\b", Typed, "0", 0, 0, QLocale::English, 0 },
        { "\b", Typed, "359", 359, 1, QLocale::English, 3 },
        { "\b", Typed, "1", 1, 2, QLocale::English, 1 }, { "\b7", Typed, "70", 70, 0 },
        { "-,5", Typed, "-1", -1, -1, QLocale::German },
        { "12,", Typed, "12,", 12, -1, QLocale::German },
        { "-1.", Typed, "-1", -1, -1, QLocale::German },
        { "+", Typed, "+", 25, -1, QLocale::German } };
    ShowActive();
    for (const auto& c : cases)
        for (int family = 0; family < 3; ++family) {
            if (c.family >= 0 && c.family != family)
                continue;
            QLocale::setDefault(QLocale(c.language));
            platform::Control& box = Find(kFamilies[family], 5);
            box.SetText("25");
            box.Widget()->clearFocus();
            // For this reason the line edit itself selects nothing.
            box.Widget()->setFocus(Qt::OtherFocusReason);
            ASSERT_EQ(box.SelectionLength(), 2) << "entering selects the text";
            const QString text = QString::fromUtf8(c.text);
            if (c.entry == Put)
                box.SetText(c.text);
            else if (c.entry == Typed)
                Type(box.Widget(), text);
            else {
                QGuiApplication::clipboard()->setText(text);
                if (c.entry == PastedAtStart)
                    QTest::keyClick(box.Widget(), Qt::Key_Home);
                QTest::keyClick(box.Widget(), Qt::Key_V, Qt::ControlModifier);
            }
            const std::string label = c.text + std::string(" into ") + kFamilies[family];
            EXPECT_EQ(box.Text(), c.shown) << label;
            const short& stored = (config::Model().*config::kCamArrays[family].values)[1][5];
            EXPECT_EQ(stored, c.stored) << label;
            const int end = int(QString::fromUtf8(box.Text()).size());
            EXPECT_EQ(box.CaretPosition(), c.caret < 0 ? end : c.caret) << label;
            QTest::keyClick(box.Widget(), Qt::Key_Tab);
            EXPECT_EQ(box.Text() + " " + std::to_string(stored),
                std::to_string(c.stored) + " " + std::to_string(c.stored))
                << label << " left";
        }
    std::vector<std::string> overflows;
    for (const char* family :
        { "TextScalaAnfang", "TextScalaEnde", "TextEinheit", "TextScalaEnde" })
        overflows.push_back(ErrorLine(family + std::string("_Change"), 6, "Overflow"));
    EXPECT_EQ(Lines(installation.Read("TVXcfglog.txt")), overflows);
    EXPECT_EQ(installation.shown.size(), overflows.size()) << "overflows only";
}

TEST(CamNumbers, ReadsTheLeadingNumberAndRoundsHalvesToEven)
{
    const std::pair<const char*, std::optional<double>> numbers[] = { { " 1 2\t3\n", 123 },
        { "+5", 5 }, { "2.5E-1", 0.25 }, { "7e", 7 }, { "12abc", 12 }, { "1.2.3", 1.2 },
        { "abc", std::nullopt }, { "", std::nullopt }, { ".5", 0.5 }, { "\u22125", -5 },
        { "5e\u22121", 0.5 }, { "\u2212", std::nullopt }, { "-\u22125", std::nullopt } };
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(editing::LeadingNumber(text), value) << text;
    const std::pair<double, short> roundings[] = { { 2.5, 2 }, { 3.5, 4 }, { -2.5, -2 }, { 0.5, 0 },
        { 1.4999, 1 }, { 32767.4, 32767 }, { -32768, -32768 } };
    for (const auto& [value, rounded] : roundings)
        EXPECT_EQ(editing::RoundToInteger(value), rounded) << value;
    for (double tooLarge : { 32767.5, 40000.0, -32768.6, *editing::LeadingNumber("-1e400") })
        EXPECT_THROW(editing::RoundToInteger(tooLarge), platform::Failure) << tooLarge;
}
