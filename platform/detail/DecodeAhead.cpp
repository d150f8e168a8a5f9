// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/DecodeAhead.h"

#include "platform/backend/EventLoop.h"
#include "platform/detail/ColourConverter.h"
#include "platform/detail/PictureDecoder.h"
#include "platform/detail/ScreenSize.h"

#include <algorithm>
#include <atomic>
#include <new>

namespace platform::detail {

struct DecodeAhead::Entry
{
    enum class State { Waiting, Decoding, Ready, Failed };

    // Fixed when the entry is made.
    std::string path;
    std::uint64_t number = 0;
    PixelSize screen;
    PixelSize likely;
    // Set when the entry is dropped, so the worker gives up early.
    std::atomic<bool> cancelled{ false };
    // Guarded by the mutex.
    State state = State::Waiting;
    FileIdentity identity;
    std::shared_ptr<const PictureData> picture;
};

DecodeAhead::~DecodeAhead()
{
    stop();
}

DecodeAhead &DecodeAhead::instance()
{
    static DecodeAhead ahead;
    return ahead;
}

void DecodeAhead::dropAllBut(const std::string &keepA, const std::string &keepB, PixelSize screen)
{
    std::erase_if(entries, [&](const std::shared_ptr<Entry> &entry) {
        const bool keep = entry->screen == screen && (entry->path == keepA || entry->path == keepB);
        if (!keep)
            entry->cancelled = true;
        return !keep;
    });
}

void DecodeAhead::dropAll()
{
    for (const auto &entry : entries)
        entry->cancelled = true;
    entries.clear();
}

void DecodeAhead::playListMoved(const void *list, const std::string &current,
                                const std::string &next)
{
    const PixelSize screen = screenDevicePixels();
    std::lock_guard lock(mutex);
    if (stopping)
        return;
    owner = list;
    dropAllBut(current, next, screen);
    if (next.empty())
        return;
    const bool known = std::any_of(entries.begin(), entries.end(),
                                   [&](const auto &entry) { return entry->path == next; });
    if (known)
        return;
    auto entry = std::make_shared<Entry>();
    entry->path = next;
    entry->screen = screen;
    entry->likely = likelySize;
    entry->number = ++made;
    entries.push_back(std::move(entry));
    if (!worker.joinable())
        worker = std::thread([this] { work(); });
    // The worker begins once the event that selected the entry is over: the
    // handler that moved the list is about to load a picture itself (the
    // first of a show has nothing decoded ahead), and should have both
    // cores while it does.
    backend::post([this] { release(); });
}

void DecodeAhead::release()
{
    std::lock_guard lock(mutex);
    released = made;
    changed.notify_all();
}

void DecodeAhead::playListGone(const void *list)
{
    std::lock_guard lock(mutex);
    if (owner != list)
        return;
    owner = nullptr;
    dropAll();
}

void DecodeAhead::shownAt(PixelSize devicePixels)
{
    likelySize = devicePixels;
}

std::shared_ptr<const PictureData> DecodeAhead::take(const std::string &path,
                                                     const FileIdentity &identity, PixelSize screen)
{
    std::unique_lock lock(mutex);
    for (;;) {
        const auto it = std::find_if(entries.begin(), entries.end(), [&](const auto &entry) {
            return entry->path == path && entry->screen == screen;
        });
        if (it == entries.end())
            return nullptr;
        Entry &entry = **it;
        switch (entry.state) {
        case Entry::State::Waiting:
            // Not begun: the caller decodes it now, and sooner than the
            // worker would.
            entry.cancelled = true;
            entries.erase(it);
            return nullptr;
        case Entry::State::Decoding:
            // Half done: finishing it is quicker than starting again.
            changed.wait(lock);
            continue;
        case Entry::State::Failed:
            return nullptr;
        case Entry::State::Ready:
            // A show started on another display since it was decoded.
            if (entry.identity != identity
                || entry.picture->displayGeneration
                        != ColourConverter::instance().displayGeneration()) {
                entries.erase(it);
                return nullptr;
            }
            ++hits;
            return entry.picture;
        }
    }
}

void DecodeAhead::stop()
{
    {
        std::lock_guard lock(mutex);
        stopping = true;
        dropAll();
        changed.notify_all();
    }
    if (worker.joinable())
        worker.join();
}

void DecodeAhead::reset()
{
    std::unique_lock lock(mutex);
    heldForTests = false;
    dropAll();
    // A decode under way finishes for nobody; waiting for it keeps one
    // test's work out of the next one's counts.
    changed.wait(lock, [&] { return !decodingNow; });
    owner = nullptr;
    hits = 0;
    decodedAhead = 0;
    likelySize = {};
}

void DecodeAhead::work()
{
    backend::lowerThisThreadsPriority();
    std::unique_lock lock(mutex);
    for (;;) {
        std::shared_ptr<Entry> entry;
        changed.wait(lock, [&] {
            if (stopping)
                return true;
            const auto it = std::find_if(entries.begin(), entries.end(), [&](const auto &e) {
                return e->state == Entry::State::Waiting && e->number <= released;
            });
            if (it != entries.end())
                entry = *it;
            return entry != nullptr;
        });
        if (stopping)
            return;
        entry->state = Entry::State::Decoding;
        decodingNow = true;
        changed.wait(lock, [&] { return !heldForTests || stopping; });
        lock.unlock();
        decode(*entry);
        lock.lock();
        decodingNow = false;
        changed.notify_all();
    }
}

// Called without the lock; takes it only to publish the result.
void DecodeAhead::decode(Entry &entry)
{
    std::shared_ptr<const PictureData> picture;
    FileIdentity identity;
    // Short of memory, the picture is left for the tick to try: an
    // exception here would end the program.
    try {
        const PictureFile file(entry.path);
        if (file.status() == PictureFile::Status::Open)
            picture = decodePicture(file, entry.screen, entry.likely, &entry.cancelled);
        identity = file.identity();
    } catch (const std::bad_alloc &) {
        picture = nullptr;
    }
    std::lock_guard lock(mutex);
    const bool wanted = std::any_of(entries.begin(), entries.end(),
                                    [&](const auto &held) { return held.get() == &entry; });
    if (!wanted)
        return; // dropped meanwhile: the picture goes with this function
    entry.identity = identity;
    entry.picture = std::move(picture);
    entry.state = entry.picture ? Entry::State::Ready : Entry::State::Failed;
    if (entry.picture)
        ++decodedAhead;
}

void DecodeAhead::holdDecodes(bool hold)
{
    std::lock_guard lock(mutex);
    heldForTests = hold;
    changed.notify_all();
}

DecodeAhead::Counts DecodeAhead::counts() const
{
    std::lock_guard lock(mutex);
    Counts result;
    result.hits = hits;
    result.decodedAhead = decodedAhead;
    for (const auto &entry : entries) {
        if (entry->state == Entry::State::Decoding)
            ++result.decoding;
        if (entry->state == Entry::State::Decoding
            || (entry->state == Entry::State::Ready && entry->picture))
            ++result.held;
    }
    return result;
}

bool DecodeAhead::holdsDecoded(const std::string &path) const
{
    std::lock_guard lock(mutex);
    return std::any_of(entries.begin(), entries.end(), [&](const auto &entry) {
        return entry->path == path && entry->state == Entry::State::Ready;
    });
}

bool DecodeAhead::idle() const
{
    std::lock_guard lock(mutex);
    return std::none_of(entries.begin(), entries.end(), [](const auto &entry) {
        return entry->state == Entry::State::Waiting || entry->state == Entry::State::Decoding;
    });
}

} // namespace platform::detail
