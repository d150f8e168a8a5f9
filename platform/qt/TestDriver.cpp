// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/backend/TestDriver.h"

#include "platform/qt/Keys.h"
#include "platform/qt/Widgets.h"
#include "platform/qt/Window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace platform::backend::testing {

namespace {

// A 1024 by 768 screen at 96 dots per inch: 15360 by 11520 twips.
constexpr const char *ScreenConfig = R"({"screens":[{"name":"A","x":0,"y":0,"width":1024,)"
                                     R"("height":768,"logicalDpi":96,"dpr":1.0}],)"
                                     R"("windowFrameMargins":false})";

QWidget *windowOf(const WindowPeer &window)
{
    return dynamic_cast<const qt::HasWidget &>(window).widget();
}

Qt::KeyboardModifiers qtModifiers(unsigned modifiers)
{
    Qt::KeyboardModifiers result;
    if (modifiers & 1U)
        result |= Qt::ShiftModifier;
    if (modifiers & 2U)
        result |= Qt::ControlModifier;
    if (modifiers & 4U)
        result |= Qt::AltModifier;
    return result;
}

// The offscreen platform cannot raise windows nor pass a fixed size on to
// a window manager, and says so every time.
QtMessageHandler defaultHandler = nullptr;

void quietOffscreen(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("does not support raise()"))
        || message.contains(QLatin1String("does not support propagateSizeHints()")))
        return;
    if (defaultHandler)
        defaultHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

// Test discovery and ctest both run the tests without a display; a test
// run given a platform keeps it.
void prepareHeadlessDisplay()
{
    defaultHandler = qInstallMessageHandler(quietOffscreen);
    if (std::getenv("QT_QPA_PLATFORM"))
        return;
    const std::string path = "/tmp/pelorin-test-screen-" + std::to_string(::getpid()) + ".json";
    if (FILE *file = std::fopen(path.c_str(), "w")) {
        std::fputs(ScreenConfig, file);
        std::fclose(file);
        ::setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + path).c_str(), 1);
        // Read when the platform starts, then no longer needed.
        static const struct Remove
        {
            std::string path;
            ~Remove() { std::remove(path.c_str()); }
        } remove{ path };
    } else {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
}

void click(ControlPeer &control)
{
    QWidget *widget = qt::widgetOf(control);
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

// As the window system does: the click goes to the widget under the point.
void clickAt(WindowPeer &window, PixelPoint point)
{
    QWidget *top = windowOf(window);
    const QPoint at(point.x, point.y);
    QWidget *target = top->childAt(at);
    if (!target)
        target = top;
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(top, at));
}

void pressKey(WindowPeer &window, Integer keyCode, unsigned modifiers)
{
    QWidget *top = windowOf(window);
    QWidget *target = top->focusWidget() ? top->focusWidget() : top;
    const qt::QtKey key = qt::keyOfCode(keyCode);
    Qt::KeyboardModifiers qtKeys = qtModifiers(modifiers);
    if (key.keypad)
        qtKeys |= Qt::KeypadModifier;
    QTest::keyClick(target, key.key, qtKeys);
}

void typeText(ControlPeer &field, std::string_view text)
{
    auto *edit = static_cast<QLineEdit *>(qt::widgetOf(field));
    edit->setFocus();
    edit->end(false);
    QTest::keyClicks(edit, qt::toQString(text));
}

void closeAsUser(WindowPeer &window)
{
    windowOf(window)->close();
}

void moveAsUser(WindowPeer &window, PixelPoint point)
{
    windowOf(window)->move(point.x, point.y);
    QCoreApplication::processEvents();
}

void moveMouse(WindowPeer &window, PixelPoint point)
{
    QTest::mouseMove(windowOf(window)->windowHandle(), QPoint(point.x, point.y));
}

int pickEntry(ControlPeer &list, std::string_view text)
{
    QWidget *widget = qt::widgetOf(list);
    const QString wanted = qt::toQString(text);
    if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        const int index = combo->findText(wanted);
        if (index >= 0) {
            combo->setCurrentIndex(index);
            Q_EMIT combo->activated(index);
        }
        return index;
    }
    auto *view = qobject_cast<QListWidget *>(widget);
    const QList<QListWidgetItem *> found = view->findItems(wanted, Qt::MatchExactly);
    if (found.isEmpty())
        return -1;
    view->scrollToItem(found.first());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualItemRect(found.first()).center());
    return view->row(found.first());
}

int openEntry(ControlPeer &list, std::string_view text)
{
    auto *view = qobject_cast<QListWidget *>(qt::widgetOf(list));
    const QList<QListWidgetItem *> found = view->findItems(qt::toQString(text), Qt::MatchExactly);
    if (found.isEmpty())
        return -1;
    view->setCurrentItem(found.first());
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Return);
    return view->row(found.first());
}

PixelRect pixelRect(const ControlPeer &control)
{
    const QRect rect = qt::widgetOf(control)->geometry();
    return { rect.x(), rect.y(), rect.width(), rect.height() };
}

std::vector<std::string> shownEntries(const ControlPeer &list)
{
    std::vector<std::string> texts;
    QWidget *widget = qt::widgetOf(list);
    if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        for (int i = 0; i < combo->count(); ++i)
            texts.push_back(combo->itemText(i).toStdString());
    } else if (auto *view = qobject_cast<QListWidget *>(widget)) {
        for (int i = 0; i < view->count(); ++i)
            texts.push_back(view->item(i)->text().toStdString());
    }
    return texts;
}

std::string shownText(const ControlPeer &label)
{
    return static_cast<QLabel *>(qt::widgetOf(label))->text().toStdString();
}

bool pointerHidden(const WindowPeer &window)
{
    return windowOf(window)->cursor().shape() == Qt::BlankCursor;
}

int visibleWindows()
{
    int count = 0;
    for (const QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            ++count;
    }
    return count;
}

void processEvents()
{
    QCoreApplication::processEvents();
}

void processEventsFor(int milliseconds)
{
    QTest::qWait(milliseconds);
}

} // namespace platform::backend::testing
