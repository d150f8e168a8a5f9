// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// What a screen reader reads of the windows through Microsoft Active
// Accessibility (oleacc): the names, roles and descriptions the controls
// give, each asked of the control's own window as NVDA does.
#include "tests/platform/win32/Win32Test.h"
#include "tests/support/ProgramFixture.h"

#include "about_window/frmAbout.h"
#include "main_window/Form1.h"
#include "show_window/frmShow.h"

#include "platform/Testing.h"

#include <oleacc.h>

#include <optional>
#include <string>

using testsupport::ProgramFixture;

namespace {

// One answer of an object, read once; empty when it gave none.
struct Read
{
    std::optional<std::wstring> name;
    std::optional<std::wstring> description;
    std::optional<long> role;
    std::optional<long> state;
};

std::optional<std::wstring> text(HRESULT got, BSTR value)
{
    std::optional<std::wstring> read;
    if (got == S_OK && value)
        read = std::wstring(value, SysStringLen(value));
    SysFreeString(value);
    return read;
}

class Object
{
public:
    Object(HWND window, LONG id)
    {
        made = AccessibleObjectFromWindow(window, static_cast<DWORD>(id), __uuidof(IAccessible),
                                          reinterpret_cast<void **>(&object));
    }
    ~Object()
    {
        if (object)
            object->Release();
    }
    Object(const Object &) = delete;
    Object &operator=(const Object &) = delete;

    IAccessible *get() const { return object; }
    HRESULT result() const { return made; }

    Read read() const
    {
        Read answer;
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        const HRESULT named = object->get_accName(self, &name);
        answer.name = text(named, name);
        BSTR description = nullptr;
        const HRESULT described = object->get_accDescription(self, &description);
        answer.description = text(described, description);
        VARIANT role{};
        if (object->get_accRole(self, &role) == S_OK && role.vt == VT_I4)
            answer.role = role.lVal;
        VariantClear(&role);
        VARIANT state{};
        if (object->get_accState(self, &state) == S_OK && state.vt == VT_I4)
            answer.state = state.lVal;
        VariantClear(&state);
        return answer;
    }

    // As a script reads it: through IDispatch, by the property's number.
    std::optional<std::wstring> lateBoundName() const
    {
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        DISPPARAMS parameters{ &self, nullptr, 1, 0 };
        VARIANT name{};
        const HRESULT got
                = object->Invoke(DISPID_ACC_NAME, IID_NULL, LOCALE_USER_DEFAULT,
                                 DISPATCH_PROPERTYGET, &parameters, &name, nullptr, nullptr);
        return text(name.vt == VT_BSTR ? got : E_FAIL, name.vt == VT_BSTR ? name.bstrVal : nullptr);
    }

private:
    HRESULT made = E_FAIL;
    IAccessible *object = nullptr;
};

class Accessibility : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        CoInitialize(nullptr);
    }
    void TearDown() override
    {
        CoUninitialize();
        ProgramFixture::TearDown();
    }
};

TEST_F(Accessibility, EveryControlOfTheMainWindowIsNamed)
{
    main().cmdBrowse_Click();
    platform::testing::processEvents();
    // Named by the program: the fields by their labels, the lists by what
    // they list, the about button described by its tool tip. The roles, the
    // labels' and the buttons' names are the system's own answers; Wine's
    // client object says "client" for every kind but the edit, so a role is
    // checked wherever the system gives one of its own.
    const struct
    {
        const char *what;
        const platform::Control &control;
        const wchar_t *name;
        std::optional<long> role;
        const wchar_t *description;
    } rows[] = {
        { "txtFolder", main().txtFolder, L"Select image folder:", ROLE_SYSTEM_TEXT, nullptr },
        { "txtChange", main().txtChange, L"Seconds per picture:", ROLE_SYSTEM_TEXT, nullptr },
        { "Drive1", main().Drive1, L"Drive", ROLE_SYSTEM_COMBOBOX, nullptr },
        { "Dir1", main().Dir1, L"Folders", ROLE_SYSTEM_LIST, nullptr },
        { "File1", main().File1, L"Pictures", ROLE_SYSTEM_LIST, nullptr },
        { "cmdAbout", main().cmdAbout, L"?", ROLE_SYSTEM_PUSHBUTTON, L"About Pelorin" },
        { "Label2", main().Label2, L"Select image folder:", std::nullopt, nullptr },
        { "Label1", main().Label1, L"Seconds per picture:", std::nullopt, nullptr },
        { "cmdBrowse", main().cmdBrowse, L"Cancel", ROLE_SYSTEM_PUSHBUTTON, nullptr },
        { "cmdSelect", main().cmdSelect, L"Select Folder", ROLE_SYSTEM_PUSHBUTTON, nullptr },
        { "cmdStartShow", main().cmdStartShow, L"Start Slide Show", ROLE_SYSTEM_PUSHBUTTON,
          nullptr },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const Object object(win32test::handleOf(row.control), OBJID_CLIENT);
        ASSERT_NE(object.get(), nullptr) << std::hex << object.result();
        const Read read = object.read();
        EXPECT_EQ(read.name, std::wstring(row.name));
        if (row.role && !(win32test::underWine() && read.role == ROLE_SYSTEM_CLIENT)) {
            EXPECT_EQ(read.role, row.role);
        }
        if (row.description) {
            EXPECT_EQ(read.description, std::wstring(row.description));
        }
    }
}

TEST_F(Accessibility, TheLinkIsALinkWithItsAddressAndFollowsAsAClickDoes)
{
    platform::testing::ShellRecorder shell;
    main().cmdAbout_Click();
    platform::testing::processEvents();
    const Object link(win32test::handleOf(program->aboutWindow().lblLink), OBJID_CLIENT);
    ASSERT_NE(link.get(), nullptr);
    const Read read = link.read();
    EXPECT_EQ(read.role, ROLE_SYSTEM_LINK);
    EXPECT_EQ(read.name, L"https://www.example.com");
    ASSERT_TRUE(read.state);
    EXPECT_TRUE(*read.state & STATE_SYSTEM_LINKED);

    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    ASSERT_EQ(link.get()->accDoDefaultAction(self), S_OK);
    ASSERT_TRUE(platform::testing::waitFor([&] { return !shell.calls().empty(); }, 5000));
    EXPECT_NE(shell.calls().front().file.find("https://www.example.com/?"), std::string::npos);

    // The other labels stay plain text.
    const Object notice(win32test::handleOf(program->aboutWindow().Label1), OBJID_CLIENT);
    ASSERT_NE(notice.get(), nullptr);
    EXPECT_NE(notice.read().role, ROLE_SYSTEM_LINK);
}

TEST_F(Accessibility, EveryWindowIsNamed)
{
    main().cmdAbout_Click();
    pictures.jpeg("a.jpg", 400, 300);
    start(pictures.path());
    const struct
    {
        const char *what;
        const platform::Form &form;
        const wchar_t *name;
        bool byProgram;
    } rows[] = {
        { "main window", main(), L"Pelorin", false },
        { "about window", program->aboutWindow(), L"About Pelorin", false },
        // Borderless, with no caption: named by the program all the same.
        { "show window", show(), L"Pelorin", true },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        for (const LONG id : { OBJID_WINDOW, OBJID_CLIENT }) {
            SCOPED_TRACE(id == OBJID_WINDOW ? "window object" : "client object");
            // Wine's window object names no window: there only a name the
            // program gives can be read.
            if (id == OBJID_WINDOW && !row.byProgram && win32test::underWine())
                continue;
            const Object object(win32test::handleOf(row.form), id);
            ASSERT_NE(object.get(), nullptr) << std::hex << object.result();
            EXPECT_EQ(object.read().name, std::wstring(row.name));
            // Wine's own objects have no IDispatch.
            if (row.byProgram || !win32test::underWine()) {
                EXPECT_EQ(object.lateBoundName(), std::wstring(row.name));
            }
        }
    }
    clickStartStop();
}

} // namespace
