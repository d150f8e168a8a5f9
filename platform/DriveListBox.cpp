// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/DriveListBox.h"

#include "platform/RuntimeError.h"
#include "platform/detail/Dispatch.h"

#include <optional>

namespace platform {

namespace {

// The volume whose root is the longest leading part of the folder.
int volumeOf(const std::vector<backend::Volume> &volumes, const std::string &folder)
{
    int best = 0;
    std::size_t bestLength = 0;
    bool found = false;
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        const std::string &root = volumes[i].root;
        if (backend::isOnVolume(folder, root) && (!found || root.size() > bestLength)) {
            best = static_cast<int>(i);
            bestLength = root.size();
            found = true;
        }
    }
    return best;
}

} // namespace

DriveListBox::DriveListBox(Container &parent)
    : peer(attach(backend::createDriveList(peerOf(parent), events())))
{
    refresh();
    choose(volumeOf(shown, backend::currentFolder()), false);
}

// Read afresh each time the list drops down, so a stick plugged in
// meanwhile is there.
void DriveListBox::refresh()
{
    std::optional<backend::Volume> current;
    if (chosen >= 0)
        current = shown[static_cast<std::size_t>(chosen)];
    shown = backend::volumes();
    chosen = -1;
    if (current) {
        for (std::size_t i = 0; i < shown.size(); ++i) {
            if (shown[i].root == current->root)
                chosen = static_cast<int>(i);
        }
        if (chosen < 0) {
            // The chosen volume went away; it stays shown until another is
            // chosen.
            shown.push_back(*current);
            chosen = static_cast<int>(shown.size()) - 1;
        }
    }
    std::vector<std::string> texts;
    for (const backend::Volume &volume : shown)
        texts.push_back(volume.text);
    peer->setEntries(texts);
    peer->setSelected(chosen);
}

void DriveListBox::choose(int index, bool notify)
{
    chosen = index;
    peer->setSelected(index);
    if (notify)
        detail::raiseEvent(changeHandler);
}

std::string DriveListBox::drive() const
{
    return chosen < 0 ? std::string() : shown[static_cast<std::size_t>(chosen)].text;
}

void DriveListBox::setDrive(std::string_view text)
{
    const std::string folder = backend::absoluteFolder(backend::folderOfDriveText(text));
    if (!backend::isFolder(folder))
        raise(ErrorNumber::PathNotFound);
    refresh();
    const int index = volumeOf(shown, folder);
    if (index != chosen)
        choose(index, true);
}

void DriveListBox::entrySelected(int index)
{
    if (index >= 0 && static_cast<std::size_t>(index) < shown.size() && index != chosen)
        choose(index, true);
}

void DriveListBox::aboutToDropDown()
{
    refresh();
}

void DriveListBox::onChange(std::function<void()> handler)
{
    changeHandler = std::move(handler);
}

} // namespace platform
