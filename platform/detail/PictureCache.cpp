// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/PictureCache.h"

#include "platform/detail/PictureDecoder.h"
#include "platform/detail/ScreenSize.h"

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <sys/resource.h>
#include <unistd.h>

namespace platform::detail {

namespace {

QSize displaySizeHint;

void stopWorker()
{
    PictureCache::instance().stop();
}

} // namespace

struct PictureCache::Entry
{
    enum class State { Waiting, Decoding, Ready, Failed };

    // Fixed when the entry is made.
    std::string path;
    std::uint64_t number = 0;
    QSize screen;
    QSize likely;
    // Set when the entry is dropped, so the worker gives up early.
    std::atomic<bool> cancelled{ false };
    // Guarded by the cache's mutex.
    State state = State::Waiting;
    FileIdentity identity;
    std::shared_ptr<const PictureData> picture;
};

PictureCache::PictureCache()
{
    // Before the application's shared threads and plugins go, and while
    // QImage still works: a worker left running past that could crash the
    // program on its way out.
    if (QCoreApplication::instance())
        qAddPostRoutine(stopWorker);
}

PictureCache::~PictureCache()
{
    stop();
}

PictureCache &PictureCache::instance()
{
    static PictureCache cache;
    return cache;
}

void PictureCache::dropAllBut(const std::string &keepA, const std::string &keepB)
{
    const QSize screen = screenDevicePixels();
    std::erase_if(entries, [&](const std::shared_ptr<Entry> &entry) {
        const bool keep = entry->screen == screen && (entry->path == keepA || entry->path == keepB);
        if (!keep)
            entry->cancelled = true;
        return !keep;
    });
}

void PictureCache::expect(const void *listOwner, const std::string &current,
                          const std::string &next)
{
    const QSize screen = screenDevicePixels();
    const QSize likely = likelyDisplaySize();
    std::lock_guard lock(mutex);
    if (stopping)
        return;
    owner = listOwner;
    dropAllBut(current, next);
    if (next.empty())
        return;
    const bool known = std::any_of(entries.begin(), entries.end(),
                                   [&](const auto &entry) { return entry->path == next; });
    if (known)
        return;
    auto entry = std::make_shared<Entry>();
    entry->path = next;
    entry->screen = screen;
    entry->likely = likely;
    entry->number = ++made;
    entries.push_back(std::move(entry));
    if (!worker.joinable())
        worker = std::thread([this] { work(); });
    // The worker begins once the event that selected the entry is over: the
    // handler that moved the list is about to load a picture itself (the
    // first of a show has nothing decoded ahead), and should have both
    // cores while it does.
    if (QCoreApplication::instance()) {
        QMetaObject::invokeMethod(
                QCoreApplication::instance(), [this] { release(); }, Qt::QueuedConnection);
    } else {
        released = made;
    }
}

void PictureCache::release()
{
    std::lock_guard lock(mutex);
    released = made;
    changed.notify_all();
}

void PictureCache::forget(const void *listOwner)
{
    std::lock_guard lock(mutex);
    if (owner != listOwner)
        return;
    owner = nullptr;
    for (const auto &entry : entries)
        entry->cancelled = true;
    entries.clear();
}

std::shared_ptr<const PictureData> PictureCache::find(const std::string &path,
                                                      const FileIdentity &identity, QSize screen)
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
            if (entry.identity != identity) {
                entries.erase(it);
                return nullptr;
            }
            ++hits;
            return entry.picture;
        }
    }
}

void PictureCache::stop()
{
    {
        std::lock_guard lock(mutex);
        stopping = true;
        for (const auto &entry : entries)
            entry->cancelled = true;
        entries.clear();
        changed.notify_all();
    }
    if (worker.joinable())
        worker.join();
}

void PictureCache::work()
{
    // The user-interface thread comes first when both want the processor.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
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
        lock.unlock();
        decode(*entry);
        lock.lock();
        changed.notify_all();
    }
}

// Called without the lock; takes it only to publish the result.
void PictureCache::decode(Entry &entry)
{
    std::shared_ptr<const PictureData> picture;
    const PictureFile file(entry.path);
    if (file.status() == PictureFile::Status::Open)
        picture = decodePicture(file.descriptor(), entry.screen, entry.likely, &entry.cancelled);
    std::lock_guard lock(mutex);
    const bool wanted = std::any_of(entries.begin(), entries.end(),
                                    [&](const auto &held) { return held.get() == &entry; });
    if (!wanted)
        return; // dropped meanwhile: the picture goes with this function
    entry.identity = file.identity();
    entry.picture = std::move(picture);
    entry.state = entry.picture ? Entry::State::Ready : Entry::State::Failed;
    if (entry.picture)
        ++decodedAhead;
}

PictureCache::Counts PictureCache::counts() const
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

bool PictureCache::holdsDecoded(const std::string &path) const
{
    std::lock_guard lock(mutex);
    return std::any_of(entries.begin(), entries.end(), [&](const auto &entry) {
        return entry->path == path && entry->state == Entry::State::Ready;
    });
}

bool PictureCache::idle() const
{
    std::lock_guard lock(mutex);
    return std::none_of(entries.begin(), entries.end(), [](const auto &entry) {
        return entry->state == Entry::State::Waiting || entry->state == Entry::State::Decoding;
    });
}

void noteDisplaySize(QSize size)
{
    displaySizeHint = size;
}

QSize likelyDisplaySize()
{
    return displaySizeHint;
}

} // namespace platform::detail
