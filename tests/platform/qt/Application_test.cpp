// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Application.h"
#include "platform/Form.h"
#include "platform/Testing.h"

#include "tests/platform/qt/WidgetAccess.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

using namespace platform;

namespace {

class Window : public Form
{
public:
    Window() : Form(BorderStyle::FixedSingle, 3000, 1500) { }
};

TEST(Identity, TheApplicationIsNamedAndVersionedAsTheProgram)
{
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Pelorin"));
    EXPECT_EQ(QCoreApplication::applicationVersion(), QStringLiteral("1.00"));
}

TEST(Identity, TheApplicationNamesItsDesktopEntry)
{
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("com.example.pelorin"));
}

TEST(Identity, TheWindowIconIsDrawnIn16And32Pixels)
{
    const QIcon icon = QApplication::windowIcon();
    ASSERT_FALSE(icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    for (const int side : { 16, 32 }) {
        const QImage image = icon.pixmap(QSize(side, side)).toImage();
        ASSERT_EQ(image.size(), QSize(side, side)) << side;
        // The framed picture with the desktop around it, not an empty or
        // unreadable image.
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << side;
        EXPECT_EQ(qAlpha(image.pixel(side / 2, side / 2)), 255) << side;
    }
}

TEST(Identity, EachSizeOfTheIconIsDrawnForThatSize)
{
    // Each size the icon offers is in the resources at that size; a wrong
    // one would be scaled into place and come out blurred.
    for (const int side : { 16, 32, 48, 64, 128, 256 })
        EXPECT_EQ(QImage(QStringLiteral(":/pelorin/pelorin-%1.png").arg(side)).size(),
                  QSize(side, side));
}

TEST(Identity, EveryWindowShowsTheIcon)
{
    Window window;
    const QIcon icon = qttest::windowOf(window)->windowIcon();
    const QImage shown = icon.pixmap(QSize(16, 16)).toImage();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown, QApplication::windowIcon().pixmap(QSize(16, 16)).toImage());
}

} // namespace
