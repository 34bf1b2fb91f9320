// IAccessible over an IAccessSource. A child id names any part from the window's object: its
// child i is i + 1 and that child's child j is (i + 1) << 16 | (j + 1), so that an event's id
// reaches a cell. The IDispatch half is not implemented, as screen readers call IAccessible.
#include "platform/win32/Accessible.h"

#include <oleacc.h>

namespace platform::win32 {

struct TAccessLink {
  HWND Window;
  IAccessSource* Source;  // null once the window is gone
};

namespace {

constexpr int cIdShift = 16;
constexpr long cIdMask = (1L << cIdShift) - 1;
constexpr TAccessPath cRoot{};

long IdOf(TAccessPath path) {
  return path.Parent < 0 ? path.Index + 1 : static_cast<long>(path.Parent + 1) << cIdShift | (path.Index + 1);
}

DWORD SystemStateOf(unsigned state) {
  DWORD bits = 0;
  if (state & asFocused) bits |= STATE_SYSTEM_FOCUSED;
  if (state & asSelected) bits |= STATE_SYSTEM_SELECTED;
  if (state & asReadOnly) bits |= STATE_SYSTEM_READONLY;
  if (state & asUnavailable) bits |= STATE_SYSTEM_UNAVAILABLE;
  return bits;
}

HRESULT Text(const std::u16string& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = text.empty() ? nullptr : SysAllocStringLen(WideText(text), static_cast<UINT>(text.size()));
  return text.empty() ? S_FALSE : (*out ? S_OK : E_OUTOFMEMORY);
}

void SetEmpty(VARIANT* out) {
  VariantInit(out);
  out->vt = VT_EMPTY;
}

class TAccessible final : public IAccessible {
 public:
  TAccessible(std::shared_ptr<TAccessLink> link, TAccessPath self) : FLink(std::move(link)), FSelf(self) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
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
    if (!count) return E_POINTER;
    *count = 0;
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
    if (HRESULT fault = Connected(); fault != S_OK) return fault;
    if (FSelf == cRoot)
      return AccessibleObjectFromWindow(FLink->Window, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                        reinterpret_cast<void**>(parent));
    *parent = Object(FSelf.Parent < 0 ? cRoot : TAccessPath{-1, FSelf.Parent});
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    if (HRESULT fault = Connected(); fault != S_OK) return fault;
    *count = Source().AccessChildCount(FSelf);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    TAccessPath path;
    if (HRESULT fault = Resolve(child, path); fault != S_OK) return fault;
    if (Simple(path)) return S_FALSE;
    *object = Object(path);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    return Answer(child, name, [](const TAccessPart& part) { return part.Item.Name; });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return Answer(child, value, [](const TAccessPart& part) { return part.Item.Value; });
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return Answer(child, action, [](const TAccessPart& part) { return part.Item.DefaultAction; });
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return Answer(child, text, [](const TAccessPart&) { return std::u16string(); });
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
    return Answer(child, text, [](const TAccessPart&) { return std::u16string(); });
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
    return Answer(child, text, [](const TAccessPart&) { return std::u16string(); });
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    if (topic) *topic = 0;
    return Answer(child, file, [](const TAccessPart&) { return std::u16string(); });
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    return Number(child, role, [](const TAccessPart& part) { return part.Role; });
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return Number(child, state,
                  [](const TAccessPart& part) { return SystemStateOf(part.Item.State) | part.SystemState; });
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    SetEmpty(focus);
    if (HRESULT fault = Connected(); fault != S_OK) return fault;
    // The deepest part that has the focus: the current cell of a table.
    const std::optional<TAccessPath> path = Source().AccessFocus();
    if (!path || !(*path == FSelf || Within(*path))) return S_FALSE;
    Put(*path, focus);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (!selection) return E_POINTER;
    SetEmpty(selection);
    return Connected() == S_OK ? DISP_E_MEMBERNOTFOUND : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT child) override {
    TAccessPath path;
    HRESULT fault = Resolve(child, path);
    return fault == S_OK ? DISP_E_MEMBERNOTFOUND : fault;
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    TAccessPath path;
    if (HRESULT fault = Resolve(child, path); fault != S_OK) return fault;
    RECT rect = Source().AccessPart(path).Client;
    MapWindowPoints(FLink->Window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    *left = rect.left;
    *top = rect.top;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    SetEmpty(end);
    TAccessPath from;
    if (HRESULT fault = Resolve(start, from); fault != S_OK) return fault;
    const std::optional<TAccessPath> to = Navigate(from, direction);
    if (!to) return S_FALSE;
    Put(*to, end);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
    if (!hit) return E_POINTER;
    SetEmpty(hit);
    if (HRESULT fault = Connected(); fault != S_OK) return fault;
    POINT at{x, y};
    ScreenToClient(FLink->Window, &at);
    const RECT mine = Source().AccessPart(FSelf).Client;
    if (!PtInRect(&mine, at)) return S_FALSE;
    // The child of this object on the way to the part hit, which a client asks in turn.
    TAccessPath path = Source().AccessHit(at).value_or(cRoot);
    if (FSelf == cRoot && path.Parent >= 0) path = {-1, path.Parent};
    Put(Within(path) ? path : FSelf, hit);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    TAccessPath path;
    if (HRESULT fault = Resolve(child, path); fault != S_OK) return fault;
    return Source().AccessDoDefault(path) ? S_OK : DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  ~TAccessible() = default;

  IAccessSource& Source() const { return *FLink->Source; }
  HRESULT Connected() const { return FLink->Source && IsWindow(FLink->Window) ? S_OK : CO_E_OBJNOTCONNECTED; }
  bool Exists(TAccessPath path) const {
    if (path == cRoot) return true;
    const TAccessPath parent = path.Parent < 0 ? cRoot : TAccessPath{-1, path.Parent};
    return path.Index >= 0 && (parent == cRoot || Exists(parent)) && path.Index < Source().AccessChildCount(parent);
  }
  // A part below this object.
  bool Within(TAccessPath path) const {
    if (path == FSelf) return false;
    return FSelf == cRoot || (FSelf.Parent < 0 && path.Parent == FSelf.Index);
  }
  bool Simple(TAccessPath path) const { return path.Parent < 0 && path.Index >= 0 && Source().AccessSimpleChildren(); }

  // A child id, relative to this object, as the part it names.
  HRESULT Resolve(VARIANT child, TAccessPath& path) const {
    if (HRESULT fault = Connected(); fault != S_OK) return fault;
    if (child.vt != VT_I4) return E_INVALIDARG;
    const long id = child.lVal;
    if (id == CHILDID_SELF) {
      path = FSelf;
      return Exists(path) ? S_OK : E_FAIL;
    }
    if (id < 0) return E_INVALIDARG;
    if (FSelf == cRoot) {
      path = id <= cIdMask ? TAccessPath{-1, static_cast<int>(id - 1)}
                           : TAccessPath{static_cast<int>((id >> cIdShift) - 1), static_cast<int>((id & cIdMask) - 1)};
    } else if (FSelf.Parent < 0) {
      path = {FSelf.Index, static_cast<int>(id - 1)};
    } else {
      return E_INVALIDARG;
    }
    return Exists(path) ? S_OK : E_INVALIDARG;
  }

  IDispatch* Object(TAccessPath path) const { return new TAccessible(FLink, path); }

  // A part as a client takes it from this object: itself, a simple child by id, else an object.
  void Put(TAccessPath path, VARIANT* out) const {
    if (path == FSelf || (FSelf == cRoot && Simple(path))) {
      out->vt = VT_I4;
      out->lVal = path == FSelf ? CHILDID_SELF : IdOf(path);
      return;
    }
    out->vt = VT_DISPATCH;
    out->pdispVal = Object(path);
  }

  // Siblings side by side go left and right, rows up and down; a cell goes up and down to the
  // same column of the rows around it.
  std::optional<TAccessPath> Navigate(TAccessPath from, long direction) const {
    auto existing = [&](TAccessPath path) { return Exists(path) ? std::optional(path) : std::nullopt; };
    const int count = Source().AccessChildCount(from);
    switch (direction) {
      case NAVDIR_FIRSTCHILD:
      case NAVDIR_LASTCHILD: {
        if (from.Parent >= 0 || count == 0 || Simple(from)) return std::nullopt;
        const int index = direction == NAVDIR_FIRSTCHILD ? 0 : count - 1;
        return from == cRoot ? TAccessPath{-1, index} : TAccessPath{from.Index, index};
      }
      default: break;
    }
    if (from == cRoot) return std::nullopt;
    const bool rowLike = from.Parent < 0 && !Simple(from);
    int step = 0;
    switch (direction) {
      case NAVDIR_NEXT: step = 1; break;
      case NAVDIR_PREVIOUS: step = -1; break;
      case NAVDIR_RIGHT: step = rowLike ? 0 : 1; break;
      case NAVDIR_LEFT: step = rowLike ? 0 : -1; break;
      case NAVDIR_DOWN:
      case NAVDIR_UP: {
        const int by = direction == NAVDIR_DOWN ? 1 : -1;
        if (rowLike) return existing({-1, from.Index + by});
        if (from.Parent >= 0) return existing({from.Parent + by, from.Index});
        return std::nullopt;
      }
      default: return std::nullopt;
    }
    if (step == 0) return std::nullopt;
    return existing({from.Parent, from.Index + step});
  }

  template <class TGet>
  HRESULT Answer(VARIANT child, BSTR* out, TGet get) const {
    if (!out) return E_POINTER;
    *out = nullptr;
    TAccessPath path;
    if (HRESULT fault = Resolve(child, path); fault != S_OK) return fault;
    return Text(get(Source().AccessPart(path)), out);
  }
  template <class TGet>
  HRESULT Number(VARIANT child, VARIANT* out, TGet get) const {
    if (!out) return E_POINTER;
    SetEmpty(out);
    TAccessPath path;
    if (HRESULT fault = Resolve(child, path); fault != S_OK) return fault;
    out->vt = VT_I4;
    out->lVal = static_cast<long>(get(Source().AccessPart(path)));
    return S_OK;
  }

  LONG FRefs = 1;
  std::shared_ptr<TAccessLink> FLink;
  TAccessPath FSelf;
};

}  // namespace

TAccessHost::TAccessHost(HWND window, IAccessSource& source)
    : FLink(std::make_shared<TAccessLink>(TAccessLink{window, &source})) {}

TAccessHost::~TAccessHost() { FLink->Source = nullptr; }

std::optional<LRESULT> TAccessHost::Answer(WPARAM wParam, LPARAM lParam) {
  if (static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT) return std::nullopt;
  auto* object = new TAccessible(FLink, cRoot);
  const LRESULT answer = LresultFromObject(__uuidof(IAccessible), wParam, object);
  object->Release();
  return answer;
}

void TAccessHost::Announce(DWORD event, TAccessPath path) {
  NotifyWinEvent(event, FLink->Window, OBJID_CLIENT, IdOf(path));
}

}  // namespace platform::win32
