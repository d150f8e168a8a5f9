// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Control.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A folder's ancestors, then its subfolders, indented. A double-click or
// Enter on one opens it; every change of Path raises Change, also one made
// by code.
class DirListBox : public Control
{
public:
    explicit DirListBox(Container &parent);

    std::string path() const { return folder; }
    // Accepts a folder or a drive list's text; Path not found for one that
    // does not exist. A folder that cannot be read is shown with no
    // subfolders.
    void setPath(std::string_view path);
    void onChange(std::function<void()> handler);

private:
    void entryActivated(int index) override;
    void show(const std::string &path);

    backend::FolderListPeer *peer;
    std::string folder;
    // The folder each entry opens.
    std::vector<std::string> targets;
    std::function<void()> changeHandler;
};

} // namespace platform
