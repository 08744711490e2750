#include "win32/ButtonAccessible.h"

#include <oleacc.h>

#include <string>

#include "core/TextCodec.h"
#include "win32/IconButtons.h"

// What a screen reader sees of a button: the button's window as a push
// button with its name, description and state. It holds the window, not
// the button, so that a reader that keeps it longer than the button lives
// gets an error, never a freed object.
class TButtonAccessible : public IAccessible {
 public:
  explicit TButtonAccessible(HWND window) : FWindow(window) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&FRefs)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG refs = InterlockedDecrement(&FRefs);
    if (refs == 0) delete this;
    return static_cast<ULONG>(refs);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    return AccessibleObjectFromWindow(FWindow, static_cast<DWORD>(OBJID_WINDOW), __uuidof(IDispatch),
                                      reinterpret_cast<void**>(parent));
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override { return Answer(count, 0L); }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** child) override {
    if (child) *child = nullptr;
    return E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    const TIconButton* b = Button(child);
    if (!b) return Fail(name);
    const std::u16string text = b->FAccessibleName.empty() ? WindowTextOf(FWindow) : b->FAccessibleName;
    return String(name, text);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) override { return Fail(value, S_FALSE); }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    const TIconButton* b = Button(child);
    if (!b) return Fail(description);
    std::u16string text = b->FHint;
    for (char16_t& c : text)
      if (c == u'\r' || c == u'\n') c = u' ';
    for (std::size_t at; (at = text.find(u"  ")) != std::u16string::npos;) text.erase(at, 1);
    return String(description, text);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    VariantInit(role);
    if (!Button(child)) return E_INVALIDARG;
    role->vt = VT_I4;
    role->lVal = ROLE_SYSTEM_PUSHBUTTON;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    VariantInit(state);
    if (!Button(child)) return E_INVALIDARG;
    long s = STATE_SYSTEM_FOCUSABLE;
    if (!IsWindowEnabled(FWindow)) s |= STATE_SYSTEM_UNAVAILABLE;
    if (!IsWindowVisible(FWindow)) s |= STATE_SYSTEM_INVISIBLE;
    if (GetFocus() == FWindow) s |= STATE_SYSTEM_FOCUSED;
    if (SendMessageW(FWindow, BM_GETCHECK, 0, 0) == BST_CHECKED) s |= STATE_SYSTEM_PRESSED;
    state->vt = VT_I4;
    state->lVal = s;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override { return Fail(help, S_FALSE); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
    if (topic) *topic = 0;
    return Fail(file, S_FALSE);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* shortcut) override {
    return Fail(shortcut, S_FALSE);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    VariantInit(focus);
    if (GetFocus() != FWindow) return S_FALSE;
    focus->vt = VT_I4;
    focus->lVal = CHILDID_SELF;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (selection) VariantInit(selection);
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (!Button(child)) return Fail(action);
    return String(action, u"Press");
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    if (!Button(child)) return E_INVALIDARG;
    if (flags & SELFLAG_TAKEFOCUS) SetFocus(FWindow);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    if (!Button(child)) return E_INVALIDARG;
    RECT r{};
    GetWindowRect(FWindow, &r);
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT* end) override {
    if (end) VariantInit(end);
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
    if (!child) return E_POINTER;
    VariantInit(child);
    RECT r{};
    GetWindowRect(FWindow, &r);
    if (!PtInRect(&r, POINT{x, y})) return S_FALSE;
    child->vt = VT_I4;
    child->lVal = CHILDID_SELF;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    if (!Button(child)) return E_INVALIDARG;
    // Posted, as a click is: the press may open a modal box.
    PostMessageW(FWindow, BM_CLICK, 0, 0);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  virtual ~TButtonAccessible() = default;
  // The button when it still lives and the child named is the button itself.
  const TIconButton* Button(const VARIANT& child) const {
    if (child.vt != VT_I4 || child.lVal != CHILDID_SELF || !IsWindow(FWindow)) return nullptr;
    return reinterpret_cast<const TIconButton*>(GetWindowLongPtrW(FWindow, GWLP_USERDATA));
  }
  static std::u16string WindowTextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return U16(text);
  }
  static HRESULT String(BSTR* out, const std::u16string& text) {
    if (!out) return E_POINTER;
    *out = text.empty() ? nullptr : SysAllocString(reinterpret_cast<const OLECHAR*>(text.c_str()));
    return text.empty() ? S_FALSE : (*out ? S_OK : E_OUTOFMEMORY);
  }
  static HRESULT Fail(BSTR* out, HRESULT result = E_INVALIDARG) {
    if (out) *out = nullptr;
    return result;
  }
  template <class T>
  static HRESULT Answer(T* out, T value) {
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
  }

  HWND FWindow;
  LONG FRefs = 1;
};

LRESULT ButtonAccessibleObject(HWND window, WPARAM wParam, LPARAM lParam) {
  if (static_cast<LONG>(lParam) != static_cast<LONG>(OBJID_CLIENT)) return 0;
  auto* accessible = new TButtonAccessible(window);
  const LRESULT result = LresultFromObject(__uuidof(IAccessible), wParam, accessible);
  accessible->Release();
  return result;
}
