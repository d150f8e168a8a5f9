// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/Widgets.h"

#include <QComboBox>
#include <QStyle>

namespace platform::qt {

namespace {

class DriveCombo : public QComboBox
{
public:
    explicit DriveCombo(backend::ControlEvents &events) : events(events) { }

protected:
    void showPopup() override
    {
        events.aboutToDropDown();
        QComboBox::showPopup();
    }

private:
    backend::ControlEvents &events;
};

class DriveList : public WidgetPeer<backend::DriveListPeer>
{
public:
    DriveList(backend::ContainerPeer &parent, backend::ControlEvents &events)
        : WidgetPeer(new DriveCombo(events), parent)
    {
        QObject::connect(combo(), &QComboBox::activated, combo(),
                         [&events](int index) { events.entrySelected(index); });
    }

    void setEntries(const std::vector<std::string> &texts) override
    {
        const QSignalBlocker blocker(combo());
        combo()->clear();
        const QIcon icon = combo()->style()->standardIcon(QStyle::SP_DriveHDIcon);
        for (const std::string &text : texts)
            combo()->addItem(icon, toQString(text));
    }

    void setSelected(int index) override
    {
        const QSignalBlocker blocker(combo());
        combo()->setCurrentIndex(index);
    }

private:
    QComboBox *combo() const { return static_cast<QComboBox *>(widget()); }
};

} // namespace

} // namespace platform::qt

namespace platform::backend {

std::unique_ptr<DriveListPeer> createDriveList(ContainerPeer &parent, ControlEvents &events)
{
    return std::make_unique<qt::DriveList>(parent, events);
}

} // namespace platform::backend
