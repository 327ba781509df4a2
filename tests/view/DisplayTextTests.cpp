#include "TavlinUI/Overlay/DisplayText.h"
#include "TavlinUI/Overlay/FittedLabel.h"
#include "ViewTestSupport.h"

#include <QTextLayout>
#include <gtest/gtest.h>

using tavlin::DisplayText;
using tavlin::FittedLabel;

namespace {

// Where the character at `index` of `text` is drawn, from the left, on one line.
double xOf(const QString& text, int index) {
    QTextLayout layout(text);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(10000);
    layout.endLayout();
    return line.cursorToX(index);
}

} // namespace

TEST(DisplayText, DrawsOnOneLineWithoutControlsAndLeavesOtherTextAlone) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"New\tWindow", u"New Window"},
        {u"Open\r\nRecent\u2028", u"Open  Recent "},
        {u"Save\u0001\u007f\u009b As", u"Save As"},
        {u"\u202Eevil\u202C \u202Dgood", u"\u202Bevil\u202C \u202Agood"},
        {u"Family \U0001F468\u200D\U0001F469\u200D\U0001F467 \u05E9\u05DC\u05D5\u05DD", // joiners stay
         u"Family \U0001F468\u200D\U0001F469\u200D\U0001F467 \u05E9\u05DC\u05D5\u05DD"},
    };
    for (const auto& [text, drawn] : cases)
        EXPECT_EQ(DisplayText::drawable(QString::fromUtf16(text)), QString::fromUtf16(drawn)) << QString::fromUtf16(text).toStdString();

    // An override no longer turns a word around: its first letter is drawn first.
    const QString overridden = DisplayText::drawable(QString::fromUtf16(u"Print \u202Ethis"));
    EXPECT_LT(xOf(overridden, overridden.indexOf('t')), xOf(overridden, overridden.indexOf('s')));
    // What an isolated title leaves open ends with it: numbers after it keep their order.
    const QString open = DisplayText::drawable(QString::fromUtf16(u"a\u202E"));
    for (const QString& line : {DisplayText::isolated(open) + "1 2", open + "1 2"}) {
        const bool isolated = line.startsWith(QChar(0x2068));
        EXPECT_EQ(xOf(line, line.indexOf('1')) < xOf(line, line.indexOf('2')), isolated) << "isolated: " << isolated;
    }
}

TEST(DisplayText, BlankIsWhatDrawsAsNothing) {
    for (const char16_t* blank : {u"", u"   ", u"\t\n", u"\u200B\u200D\u2060", u"\u3000\u00A0", u"\u3164", u"\u202E\u200F"})
        EXPECT_TRUE(DisplayText::looksBlank(QString::fromUtf16(blank))) << QString::fromUtf16(blank).toStdString();
    for (const char16_t* visible : {u"-", u" a ", u"\u200Bx", u"\u30FB", u"\U0001F600", u"\u05D0"})
        EXPECT_FALSE(DisplayText::looksBlank(QString::fromUtf16(visible))) << QString::fromUtf16(visible).toStdString();
}

TEST(DisplayText, RowsDrawTheirTitlesSafelyAndKeepTheModelsText) {
    using tavlin::ShortcutItem;
    tavlin::test::ShownOverlay shown(tavlin::test::overlay({ShortcutItem("File", "New\tWindow", "⌘N"),
                                                            ShortcutItem("File", "\u200B ", "⌘K")}),
                                     QSize(900, 600));
    const auto titles = shown.findAll<FittedLabel>("rowTitle");
    ASSERT_EQ(titles.size(), 2);
    EXPECT_EQ(titles[0]->text(), QString("New\tWindow"));
    // A blank title shows a dash, and still tells assistive technology what it is.
    EXPECT_EQ(titles[1]->displayedText(), QString(QChar(0x2014)));
    EXPECT_EQ(titles[1]->accessibleName(), QString::fromUtf8("\u200B "));
}
