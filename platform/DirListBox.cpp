// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/DirListBox.h"

#include "platform/RuntimeError.h"
#include "platform/backend/Files.h"
#include "platform/detail/Dispatch.h"
#include "platform/detail/FileRules.h"

namespace platform {

DirListBox::DirListBox(Container &parent)
    : peer(attach(backend::createFolderList(peerOf(parent), events())))
{
    show(backend::absoluteFolder(backend::currentFolder()));
}

void DirListBox::setPath(std::string_view path)
{
    if (path.find_first_not_of(" \t") == std::string_view::npos)
        raise(ErrorNumber::PathNotFound);
    const std::string target = backend::absoluteFolder(backend::folderOfDriveText(path));
    if (!backend::isFolder(target))
        raise(ErrorNumber::PathNotFound);
    if (target == folder)
        return;
    show(target);
    detail::raiseEvent(changeHandler);
}

// The user opens a folder: the list moves there even when it cannot be read
// or is gone meanwhile, and Change lets the program decide.
void DirListBox::entryActivated(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= targets.size())
        return;
    const std::string target = targets[static_cast<std::size_t>(index)];
    if (target == folder)
        return;
    show(target);
    detail::dispatch(changeHandler);
}

void DirListBox::show(const std::string &path)
{
    std::vector<backend::FolderEntry> entries;
    std::vector<std::string> opens;
    int depth = 0;
    for (const std::string &ancestor : backend::folderChain(path)) {
        entries.push_back({ backend::folderName(ancestor), depth++, true });
        opens.push_back(ancestor);
    }
    const int current = static_cast<int>(entries.size()) - 1;
    std::vector<backend::DirectoryEntry> listing;
    if (backend::listFolder(path, listing) == backend::Listing::Listed) {
        for (const std::string &name : detail::listedFolders(listing)) {
            entries.push_back({ name, depth, false });
            opens.push_back(backend::childPath(path, name));
        }
    }
    targets = std::move(opens);
    folder = path;
    peer->setEntries(entries, current);
}

void DirListBox::onChange(std::function<void()> handler)
{
    changeHandler = std::move(handler);
}

} // namespace platform
