// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/FileListBox.h"

#include "platform/RuntimeError.h"
#include "platform/detail/FolderListing.h"
#include "platform/detail/PictureCache.h"
#include "platform/detail/Text.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>

namespace platform {

namespace {

QListWidget *listWidget(QWidget *widget)
{
    return static_cast<QListWidget *>(widget);
}

QListWidget *makeList()
{
    auto *list = new QListWidget;
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

// The folder a path names, or the error that keeps the list where it is.
QString openableFolder(const QString &path)
{
    if (path.trimmed().isEmpty())
        raise(ErrorNumber::PathNotFound);
    QString folder = detail::absoluteFolder(path);
    const QFileInfo info(folder);
    if (!info.exists() || !info.isDir())
        raise(ErrorNumber::PathNotFound);
    if (!info.isReadable() || !info.isExecutable())
        raise(ErrorNumber::PathFileAccessError);
    return folder;
}

} // namespace

FileListBox::FileListBox(Container &parent) : Control(parent, makeList())
{
    // The index follows what the user selects, not the view's current row,
    // which moves to the first entry on its own when the list takes focus.
    QListWidget *list = listWidget(widget());
    QObject::connect(list, &QListWidget::itemSelectionChanged, list, [this, list] {
        const QList<QListWidgetItem *> items = list->selectedItems();
        selected = items.isEmpty() ? Integer(-1) : static_cast<Integer>(list->row(items.first()));
    });
    reload(detail::toStdString(QDir::currentPath()));
}

FileListBox::~FileListBox()
{
    detail::PictureCache::instance().forget(this);
}

std::string FileListBox::path() const
{
    return folder;
}

void FileListBox::setPath(std::string_view path)
{
    reload(detail::toStdString(openableFolder(detail::toQString(path))));
}

std::string FileListBox::pattern() const
{
    return wildcardPattern;
}

void FileListBox::setPattern(std::string_view pattern)
{
    wildcardPattern = pattern;
    reload(folder);
}

void FileListBox::reload(const std::string &path)
{
    const QStringList names
            = detail::listFiles(detail::toQString(path),
                                detail::wildcards(detail::toQString(wildcardPattern)), IntegerMax);
    QListWidget *list = listWidget(widget());
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItems(names);
    list->setCurrentRow(-1);
    selected = -1;
    folder = path;
}

Integer FileListBox::listCount() const
{
    return static_cast<Integer>(listWidget(widget())->count());
}

Integer FileListBox::listIndex() const
{
    return selected;
}

void FileListBox::setListIndex(Integer index)
{
    if (index < -1 || index >= listCount())
        raise(ErrorNumber::InvalidPropertyValue);
    QListWidget *list = listWidget(widget());
    {
        const QSignalBlocker blocker(list);
        list->setCurrentRow(index);
    }
    list->viewport()->update();
    selected = index;
    if (index >= 0)
        list->scrollToItem(list->item(index));
    expectNext();
}

// A play list is walked forward and wraps, so the entry after the selected
// one is the likely next picture: it is decoded ahead while this one shows.
void FileListBox::expectNext() const
{
    if (selected < 0) {
        detail::PictureCache::instance().expect(this, {}, {});
        return;
    }
    const Integer next = selected + 1 < listCount() ? Integer(selected + 1) : Integer(0);
    detail::PictureCache::instance().expect(this, folder + PathSeparator + fileName(),
                                            folder + PathSeparator + list(next));
}

std::string FileListBox::fileName() const
{
    if (selected < 0)
        return {};
    return detail::toStdString(listWidget(widget())->item(selected)->text());
}

std::string FileListBox::list(Integer index) const
{
    if (index < 0 || index >= listCount())
        raise(ErrorNumber::InvalidPropertyValue);
    return detail::toStdString(listWidget(widget())->item(index)->text());
}

} // namespace platform
