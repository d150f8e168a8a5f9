// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <map>
#include <string>

namespace testsupport {

// The hostile pictures scripts/make-hostile-corpus draws once for a test
// run, in "hostile-corpus" beside the test program (or the folder
// PELORIN_HOSTILE_CORPUS names), with the fate each must meet ("loads W H",
// "refused", "bounded", "any", "unlisted", "unreadable"), the same on
// every system.
class HostileCorpus
{
public:
    static const HostileCorpus &get();
    const std::string &path() const { return folder; }
    std::string file(const std::string &name) const;
    const std::map<std::string, std::string> &fates() const { return expected; }

private:
    HostileCorpus();
    // Reads fates from a file; false when there is none.
    bool read(const std::string &path);
    std::string folder;
    std::map<std::string, std::string> expected;
};

} // namespace testsupport
