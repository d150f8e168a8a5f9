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
    const char *named = std::getenv("PELORIN_HOSTILE_CORPUS");
    folder = named && *named ? std::string(named)
                             : runtimeText(nativePath(programFolder()) / "hostile-corpus");
    if (!read(file("expected.tsv")))
        throw std::runtime_error("no hostile pictures in " + folder
                                 + ": ctest draws them (fixture.hostile_corpus)");
}

// A name with a line break in it is written with "\\n".
bool HostileCorpus::read(const std::string &path)
{
    std::ifstream list(nativePath(path));
    if (!list)
        return false;
    for (std::string line; std::getline(list, line);) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        std::string name;
        for (std::size_t i = 0; i < tab; ++i) {
            if (line.compare(i, 2, "\\n") == 0) {
                name += '\n';
                ++i;
            } else {
                name += line[i];
            }
        }
        expected[name] = line.substr(tab + 1);
    }
    return true;
}

std::string HostileCorpus::file(const std::string &name) const
{
    return platform::joinPath(folder, name);
}

} // namespace testsupport
