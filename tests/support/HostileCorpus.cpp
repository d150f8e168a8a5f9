// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "tests/support/HostileCorpus.h"

#include "platform/Paths.h"

#include "tests/support/TestPictures.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace testsupport {

const HostileCorpus &HostileCorpus::get()
{
    static const HostileCorpus corpus;
    return corpus;
}

HostileCorpus::HostileCorpus()
{
    const char *made = std::getenv("PELORIN_HOSTILE_CORPUS");
    if (!made || !*made)
        throw std::runtime_error(
                "PELORIN_HOSTILE_CORPUS names no folder: run the tests with ctest");
    folder = made;
    std::ifstream list(nativePath(file("expected.tsv")));
    if (!list)
        throw std::runtime_error("no expected.tsv in " + folder);
    for (std::string line; std::getline(list, line);) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        std::string name = line.substr(0, tab);
        // A name with a line break in it is written with "\n".
        for (std::size_t at; (at = name.find("\\n")) != std::string::npos;)
            name.replace(at, 2, "\n");
        expected[name] = line.substr(tab + 1);
    }
}

std::string HostileCorpus::file(const std::string &name) const
{
    return platform::joinPath(folder, name);
}

} // namespace testsupport
