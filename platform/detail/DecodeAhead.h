// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/detail/PictureData.h"
#include "platform/detail/PictureFile.h"

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
// Two things tell it what to do, each from one place in the runtime: the
// file list says its selection moved (FileListBox::setListIndex), naming
// the selected picture and the one likely to follow; the image says the
// size a stretched picture settled at (Image, when its peer has drawn it
// smoothly), the likely size of the next. One worker thread decodes the
// picture to follow, for the screen of the moment, and scales a copy to
// that size, while the selected one is on show. It holds no more than those
// two: anything else is dropped (or its decode abandoned) as soon as the
// selection moves on. LoadPicture asks it first; a picture is handed out
// only for the same path, the same screen and display colour space, and a
// file that has not changed since it was decoded. A decode that failed, was
// abandoned or is for another version of the file changes nothing: the
// caller decodes as it would have without it.
//
// The worker owns nothing of the program's: it decodes from a path into
// pictures only this holds, so windows and lists may go at any time. It
// stops when the application ends.
class DecodeAhead
{
public:
    static DecodeAhead &instance();
    ~DecodeAhead();
    DecodeAhead(const DecodeAhead &) = delete;
    DecodeAhead &operator=(const DecodeAhead &) = delete;

    // From the user-interface thread: the play list `list` selected
    // `current`, and `next` is likely to follow (either may be empty).
    void playListMoved(const void *list, const std::string &current, const std::string &next);
    // The list is gone: its pictures are dropped.
    void playListGone(const void *list);
    // A stretched picture was drawn at this size in device pixels.
    void shownAt(PixelSize devicePixels);

    // The picture decoded for this version of the file and this screen,
    // waiting for it if the worker is decoding it right now; null when
    // there is none.
    std::shared_ptr<const PictureData> take(const std::string &path, const FileIdentity &identity,
                                            PixelSize screen);

    // Ends the worker, abandoning its decode. Nothing is decoded ahead
    // afterwards.
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
    // Back to as new: nothing held, nothing counted, no size seen.
    void reset();
    // While on, the worker stops at the start of each decode, marked as
    // decoding, so that a test can act while a decode is under way.
    void holdDecodes(bool hold);

private:
    struct Entry;
    DecodeAhead() = default;
    void work();
    void decode(Entry &entry);
    void dropAllBut(const std::string &keepA, const std::string &keepB, PixelSize screen);
    void dropAll();
    void release();

    mutable std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::shared_ptr<Entry>> entries;
    const void *owner = nullptr;
    std::thread worker;
    bool stopping = false;
    bool decodingNow = false;
    bool heldForTests = false;
    // Entries are numbered as made; the worker takes those up to `released`.
    std::uint64_t made = 0;
    std::uint64_t released = 0;
    int hits = 0;
    int decodedAhead = 0;
    // Only the user-interface thread reads and writes it.
    PixelSize likelySize;
};

} // namespace platform::detail
