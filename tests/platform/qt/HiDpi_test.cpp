// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// These hold at any scale; ctest runs them once more at QT_SCALE_FACTOR=2
// (hidpi.scale2), where device pixels and layout pixels part, and the
// opening's at 1.25 and 1.75 (hidpi.fractional), where they part by less
// than a pixel.
#include "platform/qt/Widgets.h"
#include "tests/platform/qt/WidgetAccess.h"
#include "tests/support/ProgramFixture.h"

#include <QBuffer>
#include <QPixmap>
#include <QWidget>

#include <cmath>
#include <cstdlib>

using namespace platform;
using testsupport::ProgramFixture;

namespace {

class HiDpi : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        ratio = qttest::windowOf(main())->devicePixelRatioF();
        // The scaled run must really be scaled.
        if (const QByteArray factor = qgetenv("QT_SCALE_FACTOR"); !factor.isEmpty()) {
            ASSERT_EQ(ratio, factor.toDouble());
        }
    }

    int device(double twips) const { return static_cast<int>(std::lround(twips / 15 * ratio)); }

    double ratio = 1;
};

TEST_F(HiDpi, TheMainWindowKeepsItsDesignedLayoutInDevicePixels)
{
    const QWidget *window = qttest::windowOf(main());
    EXPECT_EQ(window->width() * ratio, device(5475));
    EXPECT_EQ(window->height() * ratio, device(2625 - 480));
    const struct
    {
        const Control *control;
        double left, top, width, height;
    } rows[] = {
        { &main().txtFolder, 120, 480, 4215, 360 },
        { &main().cmdBrowse, 4440, 480, 975, 375 },
        { &main().cmdStartShow, 1920, 1680, 1695, 375 },
        { &main().txtChange, 2040, 1080, 615, 375 },
        { &main().cmdAbout, 4800, 1680, 495, 375 },
    };
    for (const auto &row : rows) {
        const QRect pixels = qttest::widgetOf(*row.control)->geometry();
        EXPECT_EQ(pixels.x() * ratio, device(row.left));
        EXPECT_EQ(pixels.y() * ratio, device(row.top));
        EXPECT_EQ(pixels.width() * ratio, device(row.width));
        EXPECT_EQ(pixels.height() * ratio, device(row.height));
    }
}

// A picture the size of the screen in device pixels, with a checkerboard of
// single pixels in it: drawn one to one, every square survives; drawn at
// layout resolution, or scaled through it, they blur or double.
TEST_F(HiDpi, AShowDrawsThePictureAtTheScreensDevicePixels)
{
    const QSize screen(device(15360), device(11520));
    QImage board(screen, QImage::Format_RGB32);
    board.fill(QColor(40, 110, 200));
    const QRect squares(screen.width() / 4, screen.height() / 4, 64, 64);
    for (int y = squares.top(); y <= squares.bottom(); ++y)
        for (int x = squares.left(); x <= squares.right(); ++x)
            board.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    // At the best quality: black and white carry no colour to subsample,
    // and each square comes back within a few levels.
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && board.save(&buffer, "JPEG", 100));
    pictures.write("board.jpg",
                   std::string(jpeg.constData(), static_cast<std::size_t>(jpeg.size())));

    start(pictures.path());
    ASSERT_EQ(runOpening(), 16);
    const QImage shown = qttest::windowOf(show())->grab().toImage();
    ASSERT_EQ(shown.size(), screen);
    int wrong = 0;
    for (int y = squares.top(); y <= squares.bottom(); ++y)
        for (int x = squares.left(); x <= squares.right(); ++x)
            wrong += std::abs(qGray(shown.pixel(x, y)) - qGray(board.pixel(x, y))) > 40;
    EXPECT_EQ(wrong, 0) << "of " << squares.width() * squares.height() << " pixels";
}

// At every step of the opening the picture reaches the window's right and
// bottom edges: at 125% a control and the window round their edges apart,
// and a control one pixel short leaves a line of bare window.
TEST_F(HiDpi, TheOpeningsPictureReachesTheWindowsEdgesAtEveryStep)
{
    pictures.jpeg("a.jpg", 400, 300);
    start(pictures.path());
    const QWidget *window = qttest::windowOf(show());
    const QWidget *image = qttest::widgetOf(show().imgShow);
    int ticks = 0;
    while (show().tmrOpen.enabled() && ticks < 1000) {
        show().tmrOpen_Timer();
        ++ticks;
        SCOPED_TRACE(ticks);
        const QSize visible = window->property(qt::VisibleSizeProperty).toSize();
        ASSERT_TRUE(visible.isValid());
        const QRect placed = image->geometry();
        EXPECT_LE(placed.left(), 0);
        EXPECT_LE(placed.top(), 0);
        EXPECT_GE(placed.right() + 1, visible.width());
        EXPECT_GE(placed.bottom() + 1, visible.height());
    }
    EXPECT_EQ(ticks, 16);
}

} // namespace
