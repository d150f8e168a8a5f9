// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/backend/Files.h"

#include "platform/Paths.h"
#include "platform/detail/FileRules.h"
#include "platform/win32/Paths.h"
#include "platform/win32/Text.h"

#include <shlwapi.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

const char *const PathSeparator = "\\";

} // namespace platform

namespace platform::win32 {

namespace {

bool isSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// "c:\" or "\\server\share\": where a path's root ends.
std::size_t rootLength(const std::wstring &path)
{
    if (path.size() >= 3 && path[1] == L':' && isSeparator(path[2]))
        return 3;
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        std::size_t at = path.find_first_of(L"\\/", 2);
        if (at == std::wstring::npos)
            return path.size();
        at = path.find_first_of(L"\\/", at + 1);
        return at == std::wstring::npos ? path.size() : at + 1;
    }
    return 0;
}

std::wstring withoutTrailingSeparator(std::wstring path)
{
    const std::size_t root = rootLength(path);
    while (path.size() > std::max<std::size_t>(root, 1) && isSeparator(path.back()))
        path.pop_back();
    // A UNC root names its share without the separator after it.
    if (root == path.size() && root > 3 && isSeparator(path.back()))
        path.pop_back();
    return path;
}

bool sameIgnoringCase(std::wstring_view a, std::wstring_view b)
{
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE)
            == CSTR_EQUAL;
}

// The names after a root, as the system spells them: the \\?\ form takes
// every name literally, so an empty one (a doubled separator, as a drive's
// root joined with a file name has), "." or ".." would name no file.
std::wstring cleanNames(std::wstring_view names)
{
    std::vector<std::wstring_view> kept;
    std::size_t at = 0;
    while (at <= names.size()) {
        const std::size_t end = std::min(names.find(L'\\', at), names.size());
        const std::wstring_view name = names.substr(at, end - at);
        if (name == L"..") {
            if (!kept.empty())
                kept.pop_back();
        } else if (!name.empty() && name != L".") {
            kept.push_back(name);
        }
        at = end + 1;
    }
    std::wstring joined;
    for (const std::wstring_view name : kept) {
        if (!joined.empty())
            joined += L'\\';
        joined += name;
    }
    // A separator at the end stays: it says a folder is meant.
    if (!joined.empty() && names.ends_with(L'\\'))
        joined += L'\\';
    return joined;
}

// How long a listing waits for the label of a drive it has not seen yet.
constexpr std::chrono::seconds LabelWait{ 1 };

// Volume labels, read on a thread of their own: a sleeping disk or a DVD
// spinning up holds GetVolumeInformationW for seconds, which the
// user-interface thread must not wait for at each drop-down. A listing
// takes the labels as last read and starts a new reading; it waits only
// for a drive it has no label for yet, and only so long. What comes later
// is there at the next listing.
class VolumeLabels
{
public:
    std::map<wchar_t, std::wstring> read(const std::vector<wchar_t> &letters)
    {
        std::unique_lock lock(state->mutex);
        if (!state->reading) {
            state->reading = true;
            std::thread(&VolumeLabels::readAll, state, letters).detach();
        }
        const bool unknown = std::any_of(letters.begin(), letters.end(), [&](wchar_t letter) {
            return state->labels.find(letter) == state->labels.end();
        });
        if (unknown)
            state->done.wait_for(lock, LabelWait, [&] { return !state->reading; });
        return state->labels;
    }

private:
    struct State
    {
        std::mutex mutex;
        std::condition_variable done;
        std::map<wchar_t, std::wstring> labels;
        bool reading = false;
    };

    // Shared with a reading that may still wait on a drive when the
    // program ends.
    static void readAll(const std::shared_ptr<State> &state, const std::vector<wchar_t> &letters)
    {
        for (const wchar_t letter : letters) {
            const wchar_t root[] = { letter, L':', L'\\', L'\0' };
            wchar_t label[MAX_PATH + 1] = {};
            if (!GetVolumeInformationW(root, label, MAX_PATH, nullptr, nullptr, nullptr, nullptr,
                                       0))
                label[0] = L'\0';
            const std::lock_guard lock(state->mutex);
            state->labels[letter] = label;
        }
        const std::lock_guard lock(state->mutex);
        state->reading = false;
        state->done.notify_all();
    }

    std::shared_ptr<State> state = std::make_shared<State>();
};

} // namespace

std::wstring systemPath(std::string_view path)
{
    std::wstring text = wide(path);
    std::replace(text.begin(), text.end(), L'/', L'\\');
    if (text.starts_with(L"\\\\?\\"))
        return text;
    if (text.size() >= 3 && text[1] == L':' && text[2] == L'\\')
        return L"\\\\?\\" + text.substr(0, 3) + cleanNames(std::wstring_view(text).substr(3));
    if (text.starts_with(L"\\\\")) {
        const std::size_t root = rootLength(text);
        return L"\\\\?\\UNC\\" + text.substr(2, root - 2)
                + cleanNames(std::wstring_view(text).substr(root));
    }
    return text;
}

} // namespace platform::win32

namespace platform::backend {

using win32::narrow;
using win32::wide;

Listing listFolder(const std::string &folder, std::vector<DirectoryEntry> &entries)
{
    std::wstring pattern = win32::systemPath(folder);
    if (!pattern.empty() && pattern.back() != L'\\')
        pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found{};
    const HANDLE search
            = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                               nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // A drive's empty root has no "." to find.
        if (error == ERROR_FILE_NOT_FOUND && isFolder(folder)) {
            entries.clear();
            return Listing::Listed;
        }
        return error == ERROR_ACCESS_DENIED ? Listing::NotReadable : Listing::NotFound;
    }
    const std::unique_ptr<void, BOOL(WINAPI *)(HANDLE)> closer(search, FindClose);
    entries.clear();
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        DirectoryEntry entry;
        entry.name = narrow(name);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DEVICE)
            entry.kind = DirectoryEntry::Kind::Other;
        else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            entry.kind = DirectoryEntry::Kind::Folder;
        else
            entry.kind = DirectoryEntry::Kind::File;
        // Explorer leaves out hidden and system files unless asked.
        entry.hidden
                = (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
        entries.push_back(std::move(entry));
    } while (FindNextFileW(search, &found));
    return Listing::Listed;
}

bool isFolder(std::string_view path)
{
    const DWORD attributes = GetFileAttributesW(win32::systemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string currentFolder()
{
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(length, L'\0');
    const DWORD got = GetCurrentDirectoryW(length, folder.data());
    folder.resize(got);
    return narrow(win32::withoutTrailingSeparator(folder));
}

// Forward slashes, "." and "..", a trailing separator: all come out as
// the system writes the folder. A relative path is taken from the current
// folder, "c:" alone as that drive's root.
std::string absoluteFolder(std::string_view path)
{
    std::wstring text = wide(path);
    if (text.size() == 2 && text[1] == L':')
        text += L'\\';
    const DWORD length = GetFullPathNameW(text.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return std::string(path);
    std::wstring full(length, L'\0');
    const DWORD got = GetFullPathNameW(text.c_str(), length, full.data(), nullptr);
    full.resize(got);
    return narrow(win32::withoutTrailingSeparator(full));
}

std::vector<std::string> folderChain(const std::string &folder)
{
    const std::wstring path = wide(folder);
    const std::size_t root = win32::rootLength(path);
    std::vector<std::string> chain;
    if (root == 0) {
        chain.push_back(folder);
        return chain;
    }
    chain.push_back(narrow(win32::withoutTrailingSeparator(path.substr(0, root))));
    std::size_t at = root;
    while (at < path.size()) {
        const std::size_t end = std::min(path.find_first_of(L"\\/", at), path.size());
        if (end > at)
            chain.push_back(narrow(path.substr(0, end)));
        at = end + 1;
    }
    return chain;
}

std::string folderName(const std::string &folder)
{
    const std::wstring path = wide(folder);
    const std::size_t root = win32::rootLength(path);
    if (path.size() <= root)
        return folder;
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos || slash + 1 >= path.size())
        return folder;
    return narrow(path.substr(slash + 1));
}

std::string childPath(const std::string &folder, const std::string &name)
{
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
        return folder + name;
    return folder + "\\" + name;
}

// Explorer's own order: numbers by their value, case ignored.
void sortNaturally(std::vector<std::string> &names)
{
    std::vector<std::wstring> keys;
    keys.reserve(names.size());
    for (const std::string &name : names)
        keys.push_back(wide(name));
    detail::sortByOrder(names, [&](std::size_t a, std::size_t b) {
        return StrCmpLogicalW(keys[a].c_str(), keys[b].c_str());
    });
}

// Every drive letter in use, ready or not, as "c: [label]": an empty card
// reader is listed, as Windows lists it, and says so when it is chosen.
std::vector<Volume> volumes()
{
    static win32::VolumeLabels volumeLabels;
    std::vector<wchar_t> letters;
    std::vector<wchar_t> local;
    DWORD remoteDrives = 0;
    const DWORD drives = GetLogicalDrives();
    for (int index = 0; index < 26; ++index) {
        if (!(drives & (1u << index)))
            continue;
        const wchar_t letter = static_cast<wchar_t>(L'A' + index);
        const wchar_t root[] = { letter, L':', L'\\', L'\0' };
        letters.push_back(letter);
        if (GetDriveTypeW(root) == DRIVE_REMOTE)
            remoteDrives |= 1u << index;
        else
            local.push_back(letter);
    }
    const std::map<wchar_t, std::wstring> labels = volumeLabels.read(local);
    std::vector<Volume> result;
    for (const wchar_t letter : letters) {
        const wchar_t root[] = { letter, L':', L'\\', L'\0' };
        std::string text;
        text.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(letter))));
        text += ":";
        if (remoteDrives & (1u << (letter - L'A'))) {
            wchar_t remote[MAX_PATH + 1] = {};
            DWORD length = MAX_PATH;
            const wchar_t name[] = { letter, L':', L'\0' };
            if (WNetGetConnectionW(name, remote, &length) == NO_ERROR)
                text += " [" + narrow(remote) + "]";
        } else if (const auto label = labels.find(letter);
                   label != labels.end() && !label->second.empty()) {
            text += " [" + narrow(label->second) + "]";
        }
        result.push_back({ narrow(root), text });
    }
    return result;
}

// "c: [label]" and "c:" name the drive's root; any other text is a folder.
std::string folderOfDriveText(std::string_view text)
{
    const bool letter = text.size() >= 2 && std::isalpha(static_cast<unsigned char>(text[0]))
            && text[1] == ':';
    if (letter
        && (text.size() == 2
            || (text.size() > 3 && text.substr(2, 2) == " [" && text.back() == ']'))) {
        // As Windows writes a drive's root: its letter in capitals.
        return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(text[0]))))
                + ":\\";
    }
    return std::string(text);
}

bool isOnVolume(const std::string &folder, const std::string &root)
{
    const std::wstring path = wide(folder);
    std::wstring start = wide(root);
    if (win32::sameIgnoringCase(path, start))
        return true;
    if (!start.empty() && start.back() != L'\\')
        start += L'\\';
    return path.size() >= start.size()
            && win32::sameIgnoringCase(std::wstring_view(path).substr(0, start.size()), start);
}

} // namespace platform::backend
