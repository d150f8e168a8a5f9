// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/Widgets.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
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

    ~DriveList() override { delete nameLabel.data(); }
    DriveList(const DriveList &) = delete;
    DriveList &operator=(const DriveList &) = delete;

    void setSelected(int index) override
    {
        const QSignalBlocker blocker(combo());
        combo()->setCurrentIndex(index);
    }

    // On Linux Qt reads a combo box's name as its current text and takes
    // the name from the label tied to it (AT-SPI's labelled-by): the name
    // is that label's, a label never shown.
    void setAccessibleName(std::string_view text) override
    {
        WidgetPeer::setAccessibleName(text);
        if (!nameLabel) {
            nameLabel = new QLabel(combo()->parentWidget());
            nameLabel->setTextFormat(Qt::PlainText);
            nameLabel->setBuddy(combo());
            nameLabel->hide();
        }
        nameLabel->setText(toQString(text));
    }

private:
    QComboBox *combo() const { return static_cast<QComboBox *>(widget()); }

    QPointer<QLabel> nameLabel;
};

} // namespace

} // namespace platform::qt

namespace platform::backend {

std::unique_ptr<DriveListPeer> createDriveList(ContainerPeer &parent, ControlEvents &events)
{
    return std::make_unique<qt::DriveList>(parent, events);
}

} // namespace platform::backend
