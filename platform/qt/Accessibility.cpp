// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>

namespace platform::qt {

namespace {

constexpr char RoleProperty[] = "pelorinAccessibleRole";
constexpr char WindowProperty[] = "pelorinWindow";

class LinkAccessible : public QAccessibleWidget
{
public:
    explicit LinkAccessible(QLabel *label) : QAccessibleWidget(label, QAccessible::Link) { }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<QLabel *>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override
    {
        return QAccessibleWidget::actionNames() << pressAction();
    }
    // The label reacts to the mouse alone: a press from a screen reader is
    // a click in its middle.
    void doAction(const QString &action) override
    {
        if (action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        QWidget *label = widget();
        const QPointF middle = QRectF(label->rect()).center();
        const QPointF global = label->mapToGlobal(middle);
        QMouseEvent press(QEvent::MouseButtonPress, middle, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(label, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, middle, global, Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(label, &release);
    }
};

QAccessibleInterface *roleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("QWidget") && object->property(WindowProperty).toBool())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    if (className != QLatin1String("QLabel"))
        return nullptr;
    const QVariant role = object->property(RoleProperty);
    if (!role.isValid() || role.toInt() != static_cast<int>(AccessibleRole::Link))
        return nullptr;
    return new LinkAccessible(static_cast<QLabel *>(object));
}

// Factories installed later are asked first: this one comes before Qt's
// own for widgets.
void installFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(&roleFactory);
        return true;
    }();
    (void)installed;
}

void setProperty(QWidget *widget, const char *name, const QVariant &value)
{
    installFactory();
    widget->setProperty(name, value);
    // An interface made before would keep answering with the old role: it
    // goes, and the next question makes a new one.
    if (QAccessibleInterface *made = QAccessible::queryAccessibleInterface(widget))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

} // namespace

void setAccessibleRole(QWidget *widget, AccessibleRole role)
{
    setProperty(widget, RoleProperty, static_cast<int>(role));
}

void readAsWindow(QWidget *window)
{
    setProperty(window, WindowProperty, true);
}

} // namespace platform::qt
