// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/Widgets.h"

#include <QLineEdit>

namespace platform::qt {

namespace {

// Room for any folder path; beyond it a text is a paste gone wrong.
constexpr int MaxLength = 32767;

class TextBox : public WidgetPeer<backend::TextBoxPeer>
{
public:
    TextBox(backend::ContainerPeer &parent, backend::ControlEvents &events)
        : WidgetPeer(new QLineEdit, parent)
    {
        edit()->setMaxLength(MaxLength);
        // Only what the user types: a text the program sets is its own.
        QObject::connect(edit(), &QLineEdit::textEdited, edit(),
                         [&events](const QString &text) { events.textEdited(toStdString(text)); });
    }

    void setText(std::string_view text) override { edit()->setText(toQString(text)); }

    void setAlignment(Alignment alignment) override
    {
        const Qt::Alignment horizontal = alignment == Alignment::Center ? Qt::AlignHCenter
                : alignment == Alignment::Right                         ? Qt::AlignRight
                                                                        : Qt::AlignLeft;
        edit()->setAlignment(horizontal | Qt::AlignVCenter);
    }

private:
    QLineEdit *edit() const { return static_cast<QLineEdit *>(widget()); }
};

} // namespace

} // namespace platform::qt

namespace platform::backend {

std::unique_ptr<TextBoxPeer> createTextBox(ContainerPeer &parent, ControlEvents &events)
{
    return std::make_unique<qt::TextBox>(parent, events);
}

} // namespace platform::backend
