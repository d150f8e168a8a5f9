// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/detail/PictureData.h"
#include "platform/detail/PictureFile.h"

#include <QSize>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace platform::detail {

// Pictures decoded ahead of their turn, so that a show's change costs no
// decoding when it comes.
//
// A play list tells the cache which entry is selected and which is likely
// to follow; a worker thread decodes the one to follow, for the screen of
// the moment, while the selected one is on show. The cache holds no more
// than those two: anything else is dropped (or its decode abandoned) as
// soon as the selection moves on. LoadPicture asks it first; a picture is
// handed out only for the same path, the same screen and a file that has
// not changed since it was decoded. A decode that failed, was abandoned or
// is for another version of the file changes nothing: the caller decodes
// as it would have without the cache.
//
// The worker owns nothing of the program's: it decodes from a path into
// pictures only the cache holds, so windows and lists may go at any time.
// It stops when the application ends.
class PictureCache
{
public:
    static PictureCache &instance();
    ~PictureCache();

    // From the user-interface thread: `owner` selected `current`, and
    // `next` is likely to follow (either may be empty).
    void expect(const void *owner, const std::string &current, const std::string &next);
    // The owner's list is gone: its pictures are dropped.
    void forget(const void *owner);

    // The picture decoded for this version of the file and this screen,
    // waiting for it if the worker is decoding it right now; null when
    // there is none.
    std::shared_ptr<const PictureData> find(const std::string &path, const FileIdentity &identity,
                                            QSize screen);

    // Ends the worker, abandoning its decode. The cache decodes nothing
    // ahead afterwards.
    void stop();

    // For tests and benchmarks.
    struct Counts
    {
        int held = 0; // decoded pictures held, and ones being decoded
        int decoding = 0;
        int hits = 0; // pictures handed out
        int decodedAhead = 0;
    };
    Counts counts() const;
    bool holdsDecoded(const std::string &path) const;
    bool idle() const;

private:
    struct Entry;
    PictureCache();
    void work();
    void decode(Entry &entry);
    void dropAllBut(const std::string &keepA, const std::string &keepB);
    void release();

    mutable std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::shared_ptr<Entry>> entries;
    const void *owner = nullptr;
    std::thread worker;
    bool stopping = false;
    // Entries are numbered as made; the worker takes those up to `released`.
    std::uint64_t made = 0;
    std::uint64_t released = 0;
    int hits = 0;
    int decodedAhead = 0;
};

// The size, in device pixels, a stretched image last settled at: a likely
// size for the next picture, which the worker scales a copy to.
void noteDisplaySize(QSize size);
QSize likelyDisplaySize();

} // namespace platform::detail
