// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/win32/Accessible.h"

#include <oleacc.h>
#include <wrl/client.h>

#include <unordered_map>

namespace platform::win32 {

namespace {

constexpr wchar_t FollowLink[] = L"Jump";

// mingw-w64's oleacc import library has IID_IAccessible as a function
// imported from oleacc.dll, which wins over libuuid's data: the compiler's
// own interface ids are the real ones.
const IID &AccessibleId = __uuidof(IAccessible);
// LIBID_Accessibility, which the same import library spoils.
constexpr GUID AccessibilityLibrary
        = { 0x1ea4dbf0, 0x3c3b, 0x11cf, { 0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71 } };

bool isSelf(const VARIANT &child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The type description of IAccessible, for late-bound calls: the system
// object's own, or, where it gives none (Wine's), oleacc's type library's.
Microsoft::WRL::ComPtr<ITypeInfo> accessibleType(IAccessible &system, LCID locale)
{
    Microsoft::WRL::ComPtr<ITypeInfo> type;
    if (SUCCEEDED(system.GetTypeInfo(0, locale, &type)) && type)
        return type;
    type.Reset();
    Microsoft::WRL::ComPtr<ITypeLib> library;
    if (SUCCEEDED(LoadRegTypeLib(AccessibilityLibrary, 1, 1, LANG_NEUTRAL, &library))
        || SUCCEEDED(LoadTypeLibEx(L"oleacc.dll", REGKIND_NONE, &library)))
        library->GetTypeInfoOfGuid(AccessibleId, &type);
    return type;
}

HRESULT answerText(const std::wstring &text, BSTR *out)
{
    if (!out)
        return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// The system's own object for the window, with the facts' answers in place
// of its own where the facts have one. Everything else, children included,
// is the system's. A COM object is deleted by its own Release only, never
// through the interface, which has no virtual destructor to warn of.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class Accessible final : public IAccessible
{
public:
    Accessible(IAccessible *system, HWND window, const AccessibleFacts &facts, bool client)
        : system(system), window(window), facts(facts)
    {
        // The window object around a control keeps the control's kind.
        if (!client)
            this->facts.role = AccessibleRole::Default;
    }
    ~Accessible() { system->Release(); }
    Accessible(const Accessible &) = delete;
    Accessible &operator=(const Accessible &) = delete;

    // IUnknown. Enumerating the children and the window's handle are the
    // system object's own; nothing else is passed on, least of all the
    // marshalling interfaces, which would hand a client the system's object
    // in place of this one.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override
    {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(IDispatch))
            || IsEqualIID(iid, AccessibleId)) {
            *out = static_cast<IAccessible *>(this);
            AddRef();
            return S_OK;
        }
        if (IsEqualIID(iid, __uuidof(IEnumVARIANT)) || IsEqualIID(iid, __uuidof(IOleWindow)))
            return system->QueryInterface(iid, out);
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&references);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override
    {
        return system->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo **info) override
    {
        return system->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR *names, UINT count, LCID locale,
                                            DISPID *ids) override
    {
        if (!IsEqualIID(iid, IID_NULL))
            return DISP_E_UNKNOWNINTERFACE;
        const Microsoft::WRL::ComPtr<ITypeInfo> type = accessibleType(*system, locale);
        return type ? DispGetIDsOfNames(type.Get(), names, count, ids) : E_NOTIMPL;
    }
    // Late-bound calls reach this object's methods, not the system
    // object's, which know nothing of the facts.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS *parameters, VARIANT *result, EXCEPINFO *exception,
                                     UINT *argumentError) override
    {
        if (!IsEqualIID(iid, IID_NULL))
            return DISP_E_UNKNOWNINTERFACE;
        const Microsoft::WRL::ComPtr<ITypeInfo> type = accessibleType(*system, locale);
        if (!type)
            return E_NOTIMPL;
        return DispInvoke(static_cast<IAccessible *>(this), type.Get(), id, flags, parameters,
                          result, exception, argumentError);
    }

    // IAccessible: what the facts say.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override
    {
        if (isSelf(child) && !facts.name.empty())
            return answerText(facts.name, name);
        return system->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR *description) override
    {
        if (isSelf(child) && !facts.description.empty())
            return answerText(facts.description, description);
        return system->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override
    {
        if (isSelf(child) && link()) {
            if (!role)
                return E_POINTER;
            role->vt = VT_I4;
            role->lVal = ROLE_SYSTEM_LINK;
            return S_OK;
        }
        return system->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT *state) override
    {
        const HRESULT got = system->get_accState(child, state);
        if (SUCCEEDED(got) && isSelf(child) && link() && state->vt == VT_I4)
            state->lVal |= STATE_SYSTEM_LINKED;
        return got;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR *action) override
    {
        if (isSelf(child) && link())
            return answerText(FollowLink, action);
        return system->get_accDefaultAction(child, action);
    }
    // The link reacts to the mouse alone: following it from a screen reader
    // is a click in its middle.
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        if (!isSelf(child) || !link())
            return system->accDoDefaultAction(child);
        if (!IsWindow(window))
            return E_FAIL;
        RECT area{};
        GetClientRect(window, &area);
        const LPARAM middle
                = MAKELPARAM((area.left + area.right) / 2, (area.top + area.bottom) / 2);
        PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, middle);
        PostMessageW(window, WM_LBUTTONUP, 0, middle);
        return S_OK;
    }

    // IAccessible: the system's.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override
    {
        return system->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG *count) override
    {
        return system->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **object) override
    {
        return system->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR *value) override
    {
        return system->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR *help) override
    {
        return system->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR *file, VARIANT child, LONG *topic) override
    {
        return system->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR *shortcut) override
    {
        return system->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *child) override
    {
        return system->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT *children) override
    {
        return system->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override
    {
        return system->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG *left, LONG *top, LONG *width, LONG *height,
                                          VARIANT child) override
    {
        return system->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT *end) override
    {
        return system->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT *child) override
    {
        return system->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override
    {
        return system->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override
    {
        return system->put_accValue(child, value);
    }

private:
    bool link() const { return facts.role == AccessibleRole::Link; }

    LONG references = 1;
    IAccessible *system;
    HWND window;
    AccessibleFacts facts;
};
#pragma GCC diagnostic pop

struct Hook
{
    WNDPROC procedure;
    const AccessibleFacts *facts;
};

// The hooked windows, all of the user-interface thread.
std::unordered_map<HWND, Hook> &hooks()
{
    static std::unordered_map<HWND, Hook> windows;
    return windows;
}

LRESULT CALLBACK hookedProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto found = hooks().find(window);
    if (found == hooks().end())
        return DefWindowProcW(window, message, wParam, lParam);
    const Hook hook = found->second;
    if (message == WM_GETOBJECT && hook.facts) {
        LRESULT answer = 0;
        if (answerGetObject(window, wParam, lParam, *hook.facts, answer))
            return answer;
    } else if (message == WM_NCDESTROY) {
        hooks().erase(found);
    }
    return CallWindowProcW(hook.procedure, window, message, wParam, lParam);
}

Microsoft::WRL::ComPtr<IAccPropServices> annotationServices()
{
    Microsoft::WRL::ComPtr<IAccPropServices> services;
    // mingw-w64 gives IAccPropServices no __uuidof.
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices,
                                reinterpret_cast<void **>(services.GetAddressOf()))))
        services.Reset();
    return services;
}

// A stub that answers E_NOTIMPL stays one: asked once.
bool annotationMissing = false;

HRESULT annotateText(IAccPropServices &services, HWND window, LONG object,
                     const MSAAPROPID &property, const std::wstring &text)
{
    if (text.empty())
        return services.ClearHwndProps(window, static_cast<DWORD>(object), CHILDID_SELF, &property,
                                       1);
    return services.SetHwndPropStr(window, static_cast<DWORD>(object), CHILDID_SELF, property,
                                   const_cast<LPWSTR>(text.c_str()));
}

} // namespace

bool annotate(HWND window, const AccessibleFacts &facts)
{
    if (annotationMissing)
        return false;
    const Microsoft::WRL::ComPtr<IAccPropServices> services = annotationServices();
    if (!services)
        return false;
    HRESULT result = S_OK;
    for (const LONG object : { OBJID_CLIENT, OBJID_WINDOW }) {
        if (SUCCEEDED(result))
            result = annotateText(*services.Get(), window, object, PROPID_ACC_NAME, facts.name);
        if (SUCCEEDED(result))
            result = annotateText(*services.Get(), window, object, PROPID_ACC_DESCRIPTION,
                                  facts.description);
    }
    // The window object around a control keeps the control's kind.
    if (SUCCEEDED(result) && facts.role == AccessibleRole::Link) {
        VARIANT role{};
        role.vt = VT_I4;
        role.lVal = ROLE_SYSTEM_LINK;
        result = services->SetHwndProp(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                       PROPID_ACC_ROLE, role);
    } else if (SUCCEEDED(result)) {
        result = services->ClearHwndProps(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                          &PROPID_ACC_ROLE, 1);
    }
    if (result == E_NOTIMPL)
        annotationMissing = true;
    if (FAILED(result))
        return false;
    // The annotation sends no event of its own.
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
    return true;
}

void clearAnnotations(HWND window)
{
    if (annotationMissing)
        return;
    const Microsoft::WRL::ComPtr<IAccPropServices> services = annotationServices();
    if (!services)
        return;
    static const MSAAPROPID properties[]
            = { PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION, PROPID_ACC_ROLE };
    for (const LONG object : { OBJID_CLIENT, OBJID_WINDOW })
        services->ClearHwndProps(window, static_cast<DWORD>(object), CHILDID_SELF, properties,
                                 static_cast<int>(std::size(properties)));
}

bool answerGetObject(HWND window, WPARAM flags, LPARAM objectId, const AccessibleFacts &facts,
                     LRESULT &result)
{
    const LONG id = static_cast<LONG>(objectId);
    if (!facts.any() || (id != OBJID_CLIENT && id != OBJID_WINDOW))
        return false;
    IAccessible *system = nullptr;
    if (FAILED(CreateStdAccessibleObject(window, id, AccessibleId,
                                         reinterpret_cast<void **>(&system)))
        || !system)
        return false;
    auto *answer = new Accessible(system, window, facts, id == OBJID_CLIENT);
    result = LresultFromObject(AccessibleId, flags, answer);
    // The result holds its own reference, or there is none to hold.
    answer->Release();
    return result > 0;
}

void hookGetObject(HWND window, const AccessibleFacts *facts)
{
    const auto found = hooks().find(window);
    if (found != hooks().end()) {
        found->second.facts = facts;
        return;
    }
    const auto procedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&hookedProcedure)));
    hooks().emplace(window, Hook{ procedure, facts });
}

void unhookGetObject(HWND window)
{
    const auto found = hooks().find(window);
    if (found == hooks().end())
        return;
    // A subclass put over the hook since (a tool tip's) holds the hook's
    // procedure as the one it calls on: the hook then stays, passing every
    // message on, until the window goes.
    if (GetWindowLongPtrW(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&hookedProcedure)) {
        found->second.facts = nullptr;
        return;
    }
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(found->second.procedure));
    hooks().erase(found);
}

} // namespace platform::win32
