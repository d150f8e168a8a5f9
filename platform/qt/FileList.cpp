// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/Widgets.h"

#include <QListWidget>

namespace platform::qt {

namespace {

QListWidget *makeList()
{
    auto *list = new QListWidget;
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

class FileList : public WidgetPeer<backend::ListPeer>
{
public:
    FileList(backend::ContainerPeer &parent, backend::ControlEvents &events)
        : WidgetPeer(makeList(), parent)
    {
        // What the user selects, not the view's current row, which moves to
        // the first entry on its own when the list takes the focus.
        QListWidget *view = list();
        QObject::connect(view, &QListWidget::itemSelectionChanged, view, [view, &events] {
            const QList<QListWidgetItem *> items = view->selectedItems();
            events.entrySelected(items.isEmpty() ? -1 : view->row(items.first()));
        });
    }

    void setEntries(const std::vector<std::string> &texts) override
    {
        QStringList names;
        names.reserve(static_cast<qsizetype>(texts.size()));
        for (const std::string &text : texts)
            names.append(toQString(text));
        const QSignalBlocker blocker(list());
        list()->clear();
        list()->addItems(names);
        list()->setCurrentRow(-1);
    }

    void setSelected(int index) override
    {
        {
            const QSignalBlocker blocker(list());
            list()->setCurrentRow(index);
        }
        list()->viewport()->update();
        if (index >= 0)
            list()->scrollToItem(list()->item(index));
    }

private:
    QListWidget *list() const { return static_cast<QListWidget *>(widget()); }
};

} // namespace

} // namespace platform::qt

namespace platform::backend {

std::unique_ptr<ListPeer> createFileList(ContainerPeer &parent, ControlEvents &events)
{
    return std::make_unique<qt::FileList>(parent, events);
}

} // namespace platform::backend
