// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/CommandButton.h"

#include "platform/detail/Dispatch.h"
#include "platform/detail/Text.h"

#include <QPushButton>

namespace platform {

namespace {

QPushButton *button(QWidget *widget)
{
    return static_cast<QPushButton *>(widget);
}

QPushButton *makeButton()
{
    auto *button = new QPushButton;
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

// Captions are plain text: '&' is shown, never an access key.
QString escapeMnemonic(std::string_view text)
{
    return detail::toQString(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace

CommandButton::CommandButton(Container &parent) : Control(parent, makeButton())
{
    QObject::connect(button(widget()), &QPushButton::clicked, widget(),
                     [this] { detail::dispatch(clickHandler); });
}

std::string CommandButton::caption() const
{
    return detail::toStdString(
            button(widget())->text().replace(QLatin1String("&&"), QLatin1String("&")));
}

void CommandButton::setCaption(std::string_view text)
{
    button(widget())->setText(escapeMnemonic(text));
}

void CommandButton::onClick(std::function<void()> handler)
{
    clickHandler = std::move(handler);
}

} // namespace platform
