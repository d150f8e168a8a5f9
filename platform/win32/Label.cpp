// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/win32/App.h"
#include "platform/win32/Controls.h"
#include "platform/win32/Text.h"
#include "platform/win32/Window.h"

#include <optional>

namespace platform::win32 {

namespace {

DWORD alignmentStyle(Alignment alignment)
{
    switch (alignment) {
    case Alignment::Center:
        return SS_CENTER;
    case Alignment::Right:
        return SS_RIGHT;
    case Alignment::Left:
        break;
    }
    return SS_LEFT;
}

bool highContrast()
{
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0)
            && (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

// Windows' static text, told to report the mouse (SS_NOTIFY: without it
// the clicks fall through to the window behind) and to show '&' as it is.
class Label : public ControlPeer<backend::LabelPeer>
{
public:
    Label(backend::ContainerPeer &parent, backend::ControlEvents &events)
        : ControlPeer(parent, events)
    {
        adopt(CreateWindowExW(0, L"STATIC", L"",
                              WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOTIFY | SS_NOPREFIX, 0, 0, 0, 0,
                              parentArea(), nullptr, instance(), nullptr));
        reportMouseButtons();
    }
    ~Label() override
    {
        if (ownFont)
            DeleteObject(ownFont);
    }
    Label(const Label &) = delete;
    Label &operator=(const Label &) = delete;

    // A CR LF pair is Windows' own line break.
    void setText(std::string_view text) override { SetWindowTextW(handle(), wide(text).c_str()); }

    void setAlignment(Alignment alignment) override
    {
        const LONG_PTR style = GetWindowLongPtrW(handle(), GWL_STYLE) & ~(SS_CENTER | SS_RIGHT);
        SetWindowLongPtrW(handle(), GWL_STYLE, style | alignmentStyle(alignment));
        InvalidateRect(handle(), nullptr, TRUE);
    }

    void setFont(const Font &font) override
    {
        design = font;
        rescale();
    }

    void setForeColor(Long color) override
    {
        // 0x00BBGGRR is a COLORREF as it stands.
        foreground = static_cast<COLORREF>(color);
        InvalidateRect(handle(), nullptr, TRUE);
    }

    bool reflect(UINT message, WPARAM wParam, LPARAM, LRESULT &result) override
    {
        if (message != WM_CTLCOLORSTATIC)
            return false;
        const auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, textColour());
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        return true;
    }

    bool drawnBeneath() const override { return true; }

    void rescale() override
    {
        if (design) {
            const HFONT old = ownFont;
            ownFont = makeFont(*design, scale().dpi);
            ChildControl::rescale();
            if (old)
                DeleteObject(old);
            return;
        }
        ChildControl::rescale();
    }

protected:
    HFONT font() const override { return ownFont ? ownFont : ChildControl::font(); }

private:
    // A colour of the program's own can vanish on a high-contrast theme's
    // background: there the theme's colours hold, its hot-light colour for
    // a link.
    COLORREF textColour() const
    {
        if (!foreground)
            return GetSysColor(COLOR_WINDOWTEXT);
        if (!highContrast())
            return *foreground;
        return GetSysColor(roleForScreenReaders() == AccessibleRole::Link ? COLOR_HOTLIGHT
                                                                          : COLOR_BTNTEXT);
    }

    std::optional<Font> design;
    HFONT ownFont = nullptr;
    std::optional<COLORREF> foreground;
};

} // namespace

} // namespace platform::win32

namespace platform::backend {

std::unique_ptr<LabelPeer> createLabel(ContainerPeer &parent, ControlEvents &events)
{
    return std::make_unique<win32::Label>(parent, events);
}

} // namespace platform::backend
