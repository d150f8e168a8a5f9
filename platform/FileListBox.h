// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Control.h"
#include "platform/Values.h"

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The files of one folder that match a pattern, in natural order; at most
// 32767 of them, as the count and the index are Integers. Names are the
// file system's own, whatever bytes they are made of.
class FileListBox : public Control
{
public:
    explicit FileListBox(Container &parent);
    ~FileListBox() override;

    // The folder, absolute. Setting it reads the folder afresh and selects
    // nothing; Path not found for an empty text or a folder that does not
    // exist, Path/File access error for one that cannot be read, and then
    // the list stays as it was.
    std::string path() const { return folder; }
    void setPath(std::string_view path);

    // ";"-separated wildcards such as "*.gif;*.jpg".
    std::string pattern() const { return wildcardPattern; }
    void setPattern(std::string_view pattern);

    Integer listCount() const { return static_cast<Integer>(names.size()); }
    // -1 when nothing is selected; Invalid property value outside -1 to
    // listCount() - 1.
    Integer listIndex() const { return selected; }
    void setListIndex(Integer index);
    // The selected entry's name, empty when nothing is selected.
    std::string fileName() const;
    std::string list(Integer index) const;

private:
    void entrySelected(int index) override;
    void reload(const std::string &path);
    void tellDecodeAhead() const;

    backend::ListPeer *peer;
    std::string folder;
    std::vector<std::string> names;
    Integer selected = -1;
    std::string wildcardPattern = "*.*";
};

} // namespace platform
