// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Label.h"

#include "platform/detail/ClickFilter.h"
#include "platform/detail/FontConversion.h"
#include "platform/detail/Text.h"

#include <QLabel>

namespace platform {

namespace {

QLabel *label(QWidget *widget)
{
    return static_cast<QLabel *>(widget);
}

QLabel *makeLabel()
{
    auto *label = new QLabel;
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

Qt::Alignment toQt(Alignment alignment)
{
    switch (alignment) {
    case Alignment::Right:
        return Qt::AlignRight | Qt::AlignTop;
    case Alignment::Center:
        return Qt::AlignHCenter | Qt::AlignTop;
    case Alignment::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

} // namespace

Label::Label(Container &parent) : Control(parent, makeLabel()) { }

std::string Label::caption() const
{
    return text;
}

// The caption reads back as written; a CR LF pair shows as one line break.
void Label::setCaption(std::string_view caption)
{
    text = caption;
    label(widget())->setText(
            detail::toQString(caption).replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

void Label::setAlignment(Alignment alignment)
{
    label(widget())->setAlignment(toQt(alignment));
}

void Label::setFont(const Font &font)
{
    widget()->setFont(detail::toQFont(font));
}

void Label::setForeColor(Long color)
{
    QPalette palette = widget()->palette();
    palette.setColor(QPalette::WindowText,
                     QColor(color & 0xff, (color >> 8) & 0xff, (color >> 16) & 0xff));
    widget()->setPalette(palette);
}

void Label::onClick(std::function<void()> handler)
{
    detail::ClickFilter::install(widget(), std::move(handler));
}

} // namespace platform
