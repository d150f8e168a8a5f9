// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// What the program's three windows look like in Qt's own widgets: fonts,
// colours, stacking, cursors and the image view's scaled copies.
#include "tests/platform/qt/WidgetAccess.h"
#include "tests/support/ProgramFixture.h"

#include "about_window/frmAbout.h"

#include "platform/detail/PictureData.h"
#include "platform/qt/ImageView.h"

#include <QFontInfo>
#include <QLabel>
#include <QPalette>
#include <QStyle>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <tuple>

using namespace platform;
using testsupport::ProgramFixture;

namespace {

QWidget *widget(const Control &control)
{
    return qttest::widgetOf(control);
}

using MainWindowWidgets = ProgramFixture;

// Siblings are drawn in the order of their parent's children, the last on
// top.
TEST_F(MainWindowWidgets, TheBrowsePanelIsTheTopmostOfItsSiblings)
{
    QWidget *panel = widget(main().fraBrowse);
    const QObjectList &siblings = panel->parentWidget()->children();
    EXPECT_EQ(siblings.last(), panel);
}

TEST_F(MainWindowWidgets, NoCaptionIsClipped)
{
    Form1 &form = main();
    EXPECT_EQ(QFontInfo(widget(form.Label1)->font()).family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(widget(form.Label1)->font().pixelSize(), 13); // 9.75 points at 96 dots per inch

    for (const Label *label : { &form.Label2, &form.Label1 }) {
        const QWidget *w = widget(*label);
        const int text
                = w->fontMetrics().horizontalAdvance(QString::fromStdString(label->caption()));
        EXPECT_LE(text, w->width()) << label->caption();
    }
    // The seconds label must end before the field that overlaps its box.
    const QWidget *seconds = widget(form.Label1);
    EXPECT_LT(seconds->x()
                      + seconds->fontMetrics().horizontalAdvance(
                              QStringLiteral("Seconds per picture:")),
              widget(form.txtChange)->x());

    for (const CommandButton *button :
         { &form.cmdBrowse, &form.cmdSelect, &form.cmdStartShow, &form.cmdAbout }) {
        const QWidget *w = widget(*button);
        const int margins = 2 * w->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w);
        const int text
                = w->fontMetrics().horizontalAdvance(QString::fromStdString(button->caption()));
        EXPECT_LE(text + margins, w->width()) << button->caption();
    }
    EXPECT_LE(widget(form.cmdBrowse)->fontMetrics().horizontalAdvance(QStringLiteral("Cancel"))
                      + 12,
              widget(form.cmdBrowse)->width());
}

using AboutWindowWidgets = ProgramFixture;

TEST_F(AboutWindowWidgets, TheLinkIsBlueBoldUnderlinedCentredAndFits)
{
    main().cmdAbout_Click();
    frmAbout &about = program->aboutWindow();
    const auto *link = static_cast<const QLabel *>(widget(about.lblLink));
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(link->font().bold());
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->font().pixelSize(), 13);
    EXPECT_TRUE(link->alignment() & Qt::AlignHCenter);
    EXPECT_EQ(QFontInfo(widget(about.lblAbout)->font()).family(), QStringLiteral("MS Sans Serif"));
    // The address fits on its label.
    EXPECT_LE(link->fontMetrics().horizontalAdvance(link->text()), link->width());
}

// A show on the full 15360 by 11520 screen after its opening.
class ShowWindowWidgets : public ProgramFixture
{
protected:
    void startShow(std::initializer_list<std::tuple<const char *, int, int>> files)
    {
        for (const auto &[name, width, height] : files)
            pictures.jpeg(name, width, height);
        start(pictures.path(), "1");
        ASSERT_EQ(runOpening(), 16);
        show().tmrShow.setEnabled(false);
    }

    QWidget *window() { return qttest::windowOf(show()); }
    platform::qt::ImageView *view()
    {
        return static_cast<platform::qt::ImageView *>(widget(show().imgShow));
    }
};

// Hidden, the pointer is the blank cursor over the window and over the
// picture that covers it; back, it is the ordinary arrow.
TEST_F(ShowWindowWidgets, TheIdlePointerIsBlankOverThePictureToo)
{
    startShow({ { "a.jpg", 400, 300 }, { "b.jpg", 300, 400 } });
    ASSERT_NE(window()->windowHandle(), nullptr);
    for (const QPoint where : { QPoint(100, 100), QPoint(900, 700), QPoint(512, 384) }) {
        EXPECT_EQ(window()->cursor().shape(), Qt::ArrowCursor);
        EXPECT_EQ(view()->cursor().shape(), Qt::ArrowCursor);
        platform::testing::firePointerIdle(show());
        EXPECT_EQ(window()->cursor().shape(), Qt::BlankCursor);
        EXPECT_EQ(view()->cursor().shape(), Qt::BlankCursor);

        QTest::mouseMove(window()->windowHandle(), where);
        EXPECT_EQ(window()->cursor().shape(), Qt::ArrowCursor);
        EXPECT_EQ(view()->cursor().shape(), Qt::ArrowCursor);
    }
}

// The worker also scales the next picture to the size the last one was
// shown at, so a run of pictures of one shape changes without any scaling
// on the user-interface thread; other shapes get a quick first paint and
// their smooth copy right after it.
TEST_F(ShowWindowWidgets, APictureOfTheLastOnesShapeComesAlreadyScaled)
{
    // The fixture started the decode ahead afresh: no size seen yet.
    startShow({ { "1.jpg", 1200, 800 }, { "2.jpg", 1200, 800 }, { "3.jpg", 1200, 800 } });
    platform::qt::ImageView *image = view();
    const QSize fitted(1024, 384); // 3 by 2 rounds to a ratio of 2

    show().tmrShow_Timer();
    ASSERT_EQ(image->size(), fitted);
    EXPECT_FALSE(image->hasSmoothCopy()) << "decoded ahead for a size not yet seen";
    image->repaint();
    ASSERT_TRUE(QTest::qWaitFor([&] { return image->hasSmoothCopy(); }, 10000));

    show().tmrShow_Timer(); // 3.jpg: decoded before 2.jpg's size was known
    ASSERT_TRUE(QTest::qWaitFor([&] { return image->hasSmoothCopy(); }, 10000));
    const std::string first = pictures.file("1.jpg");
    ASSERT_TRUE(platform::testing::waitFor([&] {
        return platform::testing::decodeAheadHolds(first);
    })) << "1.jpg was never decoded ahead";
    show().tmrShow_Timer(); // the wrap to 1.jpg keeps the frame
    ASSERT_EQ(main().File1.fileName(), "1.jpg");
    ASSERT_TRUE(image->hasSmoothCopy());
    const Picture shown = show().imgShow.picture();
    const auto &data = detail::PictureData::of(shown);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->prescaled.size(), (detail::PixelSize{ fitted.width(), fitted.height() }));
    // Drawn from those very pixels, not from a copy scaled again.
    EXPECT_EQ(image->smoothCopy().constBits(),
              reinterpret_cast<const uchar *>(data->prescaled.data()));
}

} // namespace
