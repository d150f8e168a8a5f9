// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Control.h"
#include "platform/backend/Files.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The volumes a user browses from. Drive is the chosen one's text, which a
// folder list accepts as its Path.
class DriveListBox : public Control
{
public:
    explicit DriveListBox(Container &parent);

    std::string drive() const;
    // Chooses the volume holding the folder a text names (a drive text or
    // any folder); Change comes when the choice changes.
    void setDrive(std::string_view text);
    void onChange(std::function<void()> handler);

private:
    void entrySelected(int index) override;
    void aboutToDropDown() override;
    void refresh();
    void choose(int index, bool notify);

    backend::DriveListPeer *peer;
    std::vector<backend::Volume> shown;
    int chosen = -1;
    std::function<void()> changeHandler;
};

} // namespace platform
