// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdlib>

#include <unistd.h>

namespace testsupport {

// Root reads every file and folder whatever its mode, so a test run as root
// looks at what is locked as an ordinary user would, for as long as this
// lives: real and effective user both, since access() asks for the real
// one. The saved user stays root, to come back.
class AsOrdinaryUser
{
public:
    AsOrdinaryUser() : switched(::geteuid() == 0 && ::setresuid(OrdinaryUser, OrdinaryUser, 0) == 0)
    { }
    ~AsOrdinaryUser()
    {
        // The rest of the suite cannot run as somebody else.
        if (switched && ::setresuid(0, 0, 0) != 0)
            std::abort();
    }
    AsOrdinaryUser(const AsOrdinaryUser &) = delete;
    AsOrdinaryUser &operator=(const AsOrdinaryUser &) = delete;

    // False when the tests run as root and could not become anybody else.
    static bool locksOut() { return ::geteuid() != 0; }

private:
    static constexpr uid_t OrdinaryUser = 65534;
    bool switched;
};

} // namespace testsupport
