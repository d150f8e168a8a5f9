// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/DriveListBox.h"

#include "platform/RuntimeError.h"
#include "platform/detail/Dispatch.h"
#include "platform/detail/FolderListing.h"
#include "platform/detail/Text.h"
#include "platform/detail/Volumes.h"

#include <QComboBox>
#include <QDir>
#include <QStyle>

namespace platform {

namespace {

// Refreshes the volumes each time the list drops down, so a stick plugged
// in meanwhile is there.
class DriveCombo : public QComboBox
{
public:
    std::function<void()> beforePopup;

protected:
    void showPopup() override
    {
        if (beforePopup)
            beforePopup();
        QComboBox::showPopup();
    }
};

DriveCombo *combo(QWidget *widget)
{
    return static_cast<DriveCombo *>(widget);
}

constexpr int RootRole = Qt::UserRole + 1;

} // namespace

DriveListBox::DriveListBox(Container &parent) : Control(parent, new DriveCombo)
{
    DriveCombo *box = combo(widget());
    box->beforePopup = [this] { refresh(); };
    QObject::connect(box, &QComboBox::activated, box, [this](int index) {
        if (index != chosen)
            choose(index, true);
    });
    refresh();
    const QList<detail::Volume> list = detail::volumes();
    choose(static_cast<int>(detail::volumeOf(list, QDir::currentPath())), false);
}

void DriveListBox::refresh()
{
    DriveCombo *box = combo(widget());
    const QString current = chosen >= 0 ? box->itemData(chosen, RootRole).toString() : QString();
    const QSignalBlocker blocker(box);
    box->clear();
    const QIcon icon = box->style()->standardIcon(QStyle::SP_DriveHDIcon);
    for (const detail::Volume &volume : detail::volumes()) {
        box->addItem(icon, volume.text());
        box->setItemData(box->count() - 1, volume.root, RootRole);
    }
    chosen = current.isEmpty() ? -1 : box->findData(current, RootRole);
    if (chosen < 0 && !current.isEmpty()) {
        // The chosen volume went away; it stays shown until another is chosen.
        box->addItem(icon, current);
        box->setItemData(box->count() - 1, current, RootRole);
        chosen = box->count() - 1;
    }
    box->setCurrentIndex(chosen);
}

void DriveListBox::choose(int index, bool notify)
{
    chosen = index;
    {
        const QSignalBlocker blocker(widget());
        combo(widget())->setCurrentIndex(index);
    }
    if (notify)
        detail::raiseEvent(changeHandler);
}

std::string DriveListBox::drive() const
{
    return chosen < 0 ? std::string() : detail::toStdString(combo(widget())->itemText(chosen));
}

void DriveListBox::setDrive(std::string_view text)
{
    const QString folder
            = detail::absoluteFolder(detail::folderOfDriveText(detail::toQString(text)));
    if (!QFileInfo(folder).isDir())
        raise(ErrorNumber::PathNotFound);
    refresh();
    DriveCombo *box = combo(widget());
    QList<detail::Volume> list;
    for (int i = 0; i < box->count(); ++i)
        list.append({ box->itemData(i, RootRole).toString(), QString() });
    const int index = static_cast<int>(detail::volumeOf(list, folder));
    if (index != chosen)
        choose(index, true);
}

void DriveListBox::onChange(std::function<void()> handler)
{
    changeHandler = std::move(handler);
}

} // namespace platform
