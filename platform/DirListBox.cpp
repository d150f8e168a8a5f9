// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/DirListBox.h"

#include "platform/RuntimeError.h"
#include "platform/detail/Dispatch.h"
#include "platform/detail/FolderListing.h"
#include "platform/detail/Text.h"
#include "platform/detail/Volumes.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListWidget>
#include <QStyle>
#include <QStyledItemDelegate>

namespace platform {

namespace {

constexpr int FolderRole = Qt::UserRole + 1;
constexpr int DepthRole = Qt::UserRole + 2;
constexpr int IndentPixels = 8;

class IndentDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->rect.adjust(index.data(DepthRole).toInt() * IndentPixels, 0, 0, 0);
    }
};

QListWidget *listWidget(QWidget *widget)
{
    return static_cast<QListWidget *>(widget);
}

QListWidget *makeList()
{
    auto *list = new QListWidget;
    list->setUniformItemSizes(true);
    list->setItemDelegate(new IndentDelegate(list));
    return list;
}

QStringList ancestorsOf(const QString &folder)
{
    QStringList chain;
    QDir dir(folder);
    chain.prepend(dir.absolutePath());
    while (dir.cdUp())
        chain.prepend(dir.absolutePath());
    return chain;
}

QString displayName(const QString &folder)
{
    const QString name = QFileInfo(folder).fileName();
    return name.isEmpty() ? folder : name;
}

} // namespace

DirListBox::DirListBox(Container &parent) : Control(parent, makeList())
{
    QListWidget *list = listWidget(widget());
    // The user opens a folder: the list moves there even when it cannot be
    // read or is gone meanwhile, and Change lets the program decide.
    // The list is rebuilt after the activation is over: the item that was
    // activated is one of those it deletes.
    QObject::connect(list, &QListWidget::itemActivated, list, [this, list](QListWidgetItem *item) {
        const std::string target = detail::toStdString(item->data(FolderRole).toString());
        QMetaObject::invokeMethod(
                list,
                [this, target] {
                    if (target == folder)
                        return;
                    show(target);
                    detail::dispatch(changeHandler);
                },
                Qt::QueuedConnection);
    });
    show(detail::toStdString(detail::absoluteFolder(QDir::currentPath())));
}

std::string DirListBox::path() const
{
    return folder;
}

void DirListBox::setPath(std::string_view path)
{
    const QString text = detail::toQString(path);
    if (text.trimmed().isEmpty())
        raise(ErrorNumber::PathNotFound);
    const QString target = detail::absoluteFolder(detail::folderOfDriveText(text));
    if (!QFileInfo(target).isDir())
        raise(ErrorNumber::PathNotFound);
    if (detail::toStdString(target) == folder)
        return;
    show(detail::toStdString(target));
    detail::raiseEvent(changeHandler);
}

void DirListBox::show(const std::string &path)
{
    const QString target = detail::toQString(path);
    QListWidget *list = listWidget(widget());
    const QIcon open = list->style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = list->style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QSignalBlocker blocker(list);
    list->clear();
    const QStringList chain = ancestorsOf(target);
    int depth = 0;
    for (const QString &ancestor : chain) {
        auto *item = new QListWidgetItem(open, displayName(ancestor), list);
        item->setData(FolderRole, ancestor);
        item->setData(DepthRole, depth++);
    }
    QListWidgetItem *current = list->item(list->count() - 1);
    for (const QString &name : detail::listFolders(target)) {
        auto *item = new QListWidgetItem(closed, name, list);
        item->setData(FolderRole, QDir(target).absoluteFilePath(name));
        item->setData(DepthRole, depth);
    }
    list->setCurrentItem(current);
    list->scrollToItem(current);
    folder = path;
}

void DirListBox::onChange(std::function<void()> handler)
{
    changeHandler = std::move(handler);
}

} // namespace platform
