// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/TextBox.h"

#include "platform/detail/Text.h"

#include <QLineEdit>

namespace platform {

namespace {

QLineEdit *lineEdit(QWidget *widget)
{
    return static_cast<QLineEdit *>(widget);
}

QLineEdit *makeLineEdit()
{
    auto *edit = new QLineEdit;
    // Room for any folder path; beyond it a text is a paste gone wrong.
    edit->setMaxLength(32767);
    return edit;
}

} // namespace

TextBox::TextBox(Container &parent) : Control(parent, makeLineEdit()) { }

std::string TextBox::text() const
{
    return detail::toStdString(lineEdit(widget())->text());
}

void TextBox::setText(std::string_view text)
{
    lineEdit(widget())->setText(detail::toQString(text));
}

void TextBox::setAlignment(Alignment alignment)
{
    const Qt::Alignment horizontal = alignment == Alignment::Center ? Qt::AlignHCenter
            : alignment == Alignment::Right                         ? Qt::AlignRight
                                                                    : Qt::AlignLeft;
    lineEdit(widget())->setAlignment(horizontal | Qt::AlignVCenter);
}

} // namespace platform
