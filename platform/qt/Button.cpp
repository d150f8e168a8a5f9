// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/Widgets.h"

#include <QPushButton>

namespace platform::qt {

namespace {

class Button : public WidgetPeer<backend::ButtonPeer>
{
public:
    Button(backend::ContainerPeer &parent, backend::ControlEvents &events)
        : WidgetPeer(new QPushButton, parent)
    {
        button()->setAutoDefault(false);
        button()->setDefault(false);
        QObject::connect(button(), &QPushButton::clicked, button(),
                         [&events] { events.clicked(); });
    }

    // Captions are plain text: '&' is shown, never an access key.
    void setCaption(std::string_view text) override
    {
        button()->setText(toQString(text).replace(QLatin1Char('&'), QLatin1String("&&")));
    }

private:
    QPushButton *button() const { return static_cast<QPushButton *>(widget()); }
};

} // namespace

} // namespace platform::qt

namespace platform::backend {

std::unique_ptr<ButtonPeer> createButton(ContainerPeer &parent, ControlEvents &events)
{
    return std::make_unique<qt::Button>(parent, events);
}

} // namespace platform::backend
