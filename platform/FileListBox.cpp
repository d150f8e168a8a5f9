// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/FileListBox.h"

#include "platform/Paths.h"
#include "platform/RuntimeError.h"
#include "platform/backend/Files.h"
#include "platform/detail/DecodeAhead.h"
#include "platform/detail/FileRules.h"

namespace platform {

namespace {

bool blank(std::string_view text)
{
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

} // namespace

FileListBox::FileListBox(Container &parent)
    : peer(attach(backend::createFileList(peerOf(parent), events())))
{
    reload(backend::currentFolder());
}

FileListBox::~FileListBox()
{
    detail::DecodeAhead::instance().playListGone(this);
}

void FileListBox::setPath(std::string_view path)
{
    if (blank(path))
        raise(ErrorNumber::PathNotFound);
    reload(backend::absoluteFolder(path));
}

void FileListBox::setPattern(std::string_view pattern)
{
    wildcardPattern = pattern;
    reload(folder);
}

// A folder that cannot be listed raises before anything changes.
void FileListBox::reload(const std::string &path)
{
    std::vector<backend::DirectoryEntry> entries;
    switch (backend::listFolder(path, entries)) {
    case backend::Listing::NotFound:
        raise(ErrorNumber::PathNotFound);
    case backend::Listing::NotReadable:
        raise(ErrorNumber::PathFileAccessError);
    case backend::Listing::Listed:
        break;
    }
    names = detail::listedFiles(entries, detail::wildcards(wildcardPattern), IntegerMax);
    folder = path;
    selected = -1;
    peer->setEntries(names);
    peer->setSelected(-1);
}

void FileListBox::setListIndex(Integer index)
{
    if (index < -1 || index >= listCount())
        raise(ErrorNumber::InvalidPropertyValue);
    selected = index;
    peer->setSelected(index);
    tellDecodeAhead();
}

// The user's selection moves the index; the view's own current row, which
// moves to the first entry when the list takes the focus, does not.
void FileListBox::entrySelected(int index)
{
    selected = index >= 0 && index < listCount() ? static_cast<Integer>(index) : Integer(-1);
}

std::string FileListBox::fileName() const
{
    if (selected < 0)
        return {};
    return names[static_cast<std::size_t>(selected)];
}

std::string FileListBox::list(Integer index) const
{
    if (index < 0 || index >= listCount())
        raise(ErrorNumber::InvalidPropertyValue);
    return names[static_cast<std::size_t>(index)];
}

// A play list is walked forward and wraps, so the entry after the selected
// one is the likely next picture: it is decoded ahead while this one shows.
void FileListBox::tellDecodeAhead() const
{
    detail::DecodeAhead &ahead = detail::DecodeAhead::instance();
    if (selected < 0) {
        ahead.playListMoved(this, {}, {});
        return;
    }
    const Integer next = selected + 1 < listCount() ? Integer(selected + 1) : Integer(0);
    ahead.playListMoved(this, joinPath(folder, fileName()), joinPath(folder, list(next)));
}

} // namespace platform
