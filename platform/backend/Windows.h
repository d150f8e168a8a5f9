// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

// Top-level windows and the controls inside them, as the back end's
// toolkit draws them. The runtime keeps every property in its own model
// (geometry in twips, texts, selections) and tells the peers what to show;
// the peers tell the runtime what the user did. Pixels are the
// device-independent pixels of detail/Geometry.h; texts are the runtime's
// (UTF-8, or a Linux file name's own bytes).

#include "platform/AccessibleRole.h"
#include "platform/Alignment.h"
#include "platform/BorderStyle.h"
#include "platform/Font.h"
#include "platform/Values.h"
#include "platform/detail/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform::detail {
struct PictureData;
}

namespace platform::backend {

using detail::PixelPoint;
using detail::PixelRect;
using detail::PixelSize;

// What the user does to a control. Each kind of control reports the events
// it has; the rest never come.
class ControlEvents
{
public:
    // The toolkit's own click of a button: the mouse, or Space on it.
    virtual void clicked() { }
    // The left button went down on the control, and came up inside it or
    // not: the runtime's click rule makes a Click of the two.
    virtual void mousePressed() { }
    virtual void mouseReleased(bool inside) { (void)inside; }
    virtual void textEdited(const std::string &text) { (void)text; }
    // A list entry the user selected (-1: none).
    virtual void entrySelected(int index) { (void)index; }
    // A folder list entry the user opened: a double-click or Enter. Comes
    // after the event that opened it is over.
    virtual void entryActivated(int index) { (void)index; }
    // A drop-down list is about to open.
    virtual void aboutToDropDown() { }
    // A stretched picture has been drawn smoothly at this size in device
    // pixels and holds it: the size the next picture is likely shown at.
    virtual void pictureSettled(PixelSize devicePixels) { (void)devicePixels; }

protected:
    ControlEvents() = default;
    ~ControlEvents() = default;
    ControlEvents(const ControlEvents &) = default;
    ControlEvents &operator=(const ControlEvents &) = default;
};

// Something controls are placed in: a window or a frame.
class ContainerPeer
{
public:
    virtual ~ContainerPeer() = default;
};

class ControlPeer
{
public:
    virtual ~ControlPeer() = default;
    // Relative to the container's client area.
    virtual void setGeometry(PixelRect rect) = 0;
    virtual void setEnabled(bool value) = 0;
    virtual void setVisible(bool value) = 0;
    // Also the control's description for screen readers.
    virtual void setToolTip(std::string_view text) = 0;
    // For screen readers only; empty: the toolkit's own name.
    virtual void setAccessibleName(std::string_view text) = 0;
    virtual void setAccessibleRole(AccessibleRole role) = 0;
    virtual void setFocus() = 0;
    virtual bool hasFocus() const = 0;
    // In front of its siblings.
    virtual void bringToFront() = 0;
};

class ButtonPeer : public ControlPeer
{
public:
    // Plain text: no access keys.
    virtual void setCaption(std::string_view text) = 0;
};

class TextBoxPeer : public ControlPeer
{
public:
    virtual void setText(std::string_view text) = 0;
    virtual void setAlignment(Alignment alignment) = 0;
};

class LabelPeer : public ControlPeer
{
public:
    // A CR LF pair shows as one line break; the text wraps at the width.
    virtual void setText(std::string_view text) = 0;
    virtual void setAlignment(Alignment alignment) = 0;
    virtual void setFont(const Font &font) = 0;
    // 0x00BBGGRR.
    virtual void setForeColor(Long color) = 0;
};

class FramePeer : public ControlPeer, public ContainerPeer
{ };

// A list of names, one selected or none.
class ListPeer : public ControlPeer
{
public:
    virtual void setEntries(const std::vector<std::string> &texts) = 0;
    // -1 selects nothing; the list scrolls to show the selected entry.
    virtual void setSelected(int index) = 0;
};

struct FolderEntry
{
    std::string text;
    int depth = 0;
    // An ancestor of the current folder or the folder itself, drawn open.
    bool open = false;
};

class FolderListPeer : public ControlPeer
{
public:
    virtual void setEntries(const std::vector<FolderEntry> &entries, int current) = 0;
};

class DriveListPeer : public ControlPeer
{
public:
    virtual void setEntries(const std::vector<std::string> &texts) = 0;
    virtual void setSelected(int index) = 0;
};

class ImagePeer : public ControlPeer
{
public:
    virtual void setPicture(std::shared_ptr<const detail::PictureData> picture) = 0;
    virtual void setStretch(bool value) = 0;
};

// What the user or the window system does to a window.
class WindowEvents
{
public:
    // The close box, the system menu or the close key.
    virtual void closeRequested() = 0;
    virtual void mousePressed() = 0;
    virtual void mouseReleased(bool inside) = 0;
    virtual void mouseMoved() = 0;
    // The window's place or size changed, by the program or the window
    // system: the runtime compares it with what it asked for.
    virtual void moved() = 0;
    virtual void resized() = 0;
    // A key pressed while the window itself, not a control, has the focus;
    // the code is a Windows virtual-key code. Whether it was taken.
    virtual bool keyPressed(Integer code) = 0;
    virtual void shown() = 0;
    virtual void hidden() = 0;

protected:
    WindowEvents() = default;
    ~WindowEvents() = default;
    WindowEvents(const WindowEvents &) = default;
    WindowEvents &operator=(const WindowEvents &) = default;
};

class WindowPeer : public ContainerPeer
{
public:
    // A bordered window keeps this size: the user cannot resize it.
    virtual void setClientSize(PixelSize size) = 0;
    virtual PixelSize clientSize() const = 0;
    // The top left corner of the window's frame on the screen.
    virtual void setPosition(PixelPoint position) = 0;
    virtual PixelPoint position() const = 0;
    // Shows, raises and activates it; the first control of the tab order
    // that can take the focus gets it, unless one has it already.
    virtual void show() = 0;
    virtual void hide() = 0;
    // As the close box does: the window hides and closeRequested comes.
    virtual void close() = 0;
    virtual bool visible() const = 0;
    virtual void setCaption(std::string_view text) = 0;
    // For screen readers, where the caption does not name the window; empty:
    // the caption.
    virtual void setAccessibleName(std::string_view text) = 0;
    virtual void setFont(const Font &font) = 0;
    virtual void setTabOrder(const std::vector<ControlPeer *> &controls) = 0;
    virtual std::uintptr_t nativeHandle() const = 0;
    virtual void setPointerHidden(bool hidden) = 0;
    // Device pixels per device-independent pixel where the window is.
    virtual double deviceScale() const = 0;
    // A borderless window's place and size in the screen's device pixels,
    // as exactly as the window system allows: detail/DeviceGeometry.h
    // makes them from twips. Runtime is its client area in the runtime's
    // pixels, rounded as its controls' edges are: a control that reaches
    // it reaches the window's last device pixel.
    virtual void setDeviceGeometry(PixelRect rect, PixelSize runtime) = 0;
    virtual PixelRect deviceGeometry() const = 0;
};

std::unique_ptr<WindowPeer> createWindow(WindowEvents &events, BorderStyle style);
std::unique_ptr<ButtonPeer> createButton(ContainerPeer &parent, ControlEvents &events);
std::unique_ptr<TextBoxPeer> createTextBox(ContainerPeer &parent, ControlEvents &events);
std::unique_ptr<LabelPeer> createLabel(ContainerPeer &parent, ControlEvents &events);
std::unique_ptr<FramePeer> createFrame(ContainerPeer &parent, ControlEvents &events);
std::unique_ptr<ListPeer> createFileList(ContainerPeer &parent, ControlEvents &events);
std::unique_ptr<FolderListPeer> createFolderList(ContainerPeer &parent, ControlEvents &events);
std::unique_ptr<DriveListPeer> createDriveList(ContainerPeer &parent, ControlEvents &events);
std::unique_ptr<ImagePeer> createImage(ContainerPeer &parent, ControlEvents &events);

} // namespace platform::backend
