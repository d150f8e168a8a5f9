// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/Font.h"
#include "platform/qt/Widgets.h"

#include <QLabel>
#include <QMouseEvent>

namespace platform::qt {

namespace {

// Takes the press, so the release comes back to the label and not to the
// window behind it.
class ClickableLabel : public QLabel
{
public:
    explicit ClickableLabel(backend::ControlEvents &events) : events(events) { }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            events.mousePressed();
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            events.mouseReleased(rect().contains(event->position().toPoint()));
    }

private:
    backend::ControlEvents &events;
};

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

class Label : public WidgetPeer<backend::LabelPeer>
{
public:
    Label(backend::ContainerPeer &parent, backend::ControlEvents &events)
        : WidgetPeer(new ClickableLabel(events), parent)
    {
        label()->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label()->setWordWrap(true);
        label()->setTextFormat(Qt::PlainText);
        label()->setFocusPolicy(Qt::NoFocus);
    }

    void setText(std::string_view text) override
    {
        label()->setText(toQString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    }
    void setAlignment(Alignment alignment) override { label()->setAlignment(toQt(alignment)); }
    void setFont(const Font &font) override { label()->setFont(toQFont(font)); }
    void setForeColor(Long color) override
    {
        QPalette palette = label()->palette();
        palette.setColor(QPalette::WindowText,
                         QColor(color & 0xff, (color >> 8) & 0xff, (color >> 16) & 0xff));
        label()->setPalette(palette);
    }

private:
    QLabel *label() const { return static_cast<QLabel *>(widget()); }
};

} // namespace

} // namespace platform::qt

namespace platform::backend {

std::unique_ptr<LabelPeer> createLabel(ContainerPeer &parent, ControlEvents &events)
{
    return std::make_unique<qt::Label>(parent, events);
}

} // namespace platform::backend
