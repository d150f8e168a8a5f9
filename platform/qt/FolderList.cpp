// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/Widgets.h"

#include <QListWidget>
#include <QMetaObject>
#include <QStyle>
#include <QStyledItemDelegate>

#include <cstdint>

namespace platform::qt {

namespace {

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

QListWidget *makeList()
{
    auto *list = new QListWidget;
    list->setUniformItemSizes(true);
    list->setItemDelegate(new IndentDelegate(list));
    return list;
}

class FolderList : public WidgetPeer<backend::FolderListPeer>
{
public:
    FolderList(backend::ContainerPeer &parent, backend::ControlEvents &events)
        : WidgetPeer(makeList(), parent)
    {
        // The runtime rebuilds the list when a folder is opened, and the
        // item activated is one of those it deletes: it hears of it once the
        // activation is over, and only if the list is still the one the
        // user saw.
        QListWidget *view = list();
        QObject::connect(view, &QListWidget::itemActivated, view,
                         [this, view, &events](QListWidgetItem *item) {
                             const int row = view->row(item);
                             const std::uint64_t seen = generation;
                             QMetaObject::invokeMethod(
                                     view,
                                     [this, row, seen, &events] {
                                         if (seen == generation)
                                             events.entryActivated(row);
                                     },
                                     Qt::QueuedConnection);
                         });
    }

    void setEntries(const std::vector<backend::FolderEntry> &entries, int current) override
    {
        ++generation;
        QListWidget *view = list();
        const QIcon open = view->style()->standardIcon(QStyle::SP_DirOpenIcon);
        const QIcon closed = view->style()->standardIcon(QStyle::SP_DirClosedIcon);
        const QSignalBlocker blocker(view);
        view->clear();
        for (const backend::FolderEntry &entry : entries) {
            auto *item
                    = new QListWidgetItem(entry.open ? open : closed, toQString(entry.text), view);
            item->setData(DepthRole, entry.depth);
        }
        if (QListWidgetItem *item = view->item(current)) {
            view->setCurrentItem(item);
            view->scrollToItem(item);
        }
    }

private:
    QListWidget *list() const { return static_cast<QListWidget *>(widget()); }
    std::uint64_t generation = 0;
};

} // namespace

} // namespace platform::qt

namespace platform::backend {

std::unique_ptr<FolderListPeer> createFolderList(ContainerPeer &parent, ControlEvents &events)
{
    return std::make_unique<qt::FolderList>(parent, events);
}

} // namespace platform::backend
