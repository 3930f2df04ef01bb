// The application object: dispatch, class information, the connection point
// for the events, and the application's host operations.
#include "HostObjects.h"

#include <olectl.h>

namespace cadhost {

namespace {

void Hold(IConnectionPoint* p) {
    p->AddRef();
}
void Free(IConnectionPoint* p) {
    p->Release();
}
void Hold(const CONNECTDATA& d) {
    d.pUnk->AddRef();
}
void Free(const CONNECTDATA& d) {
    d.pUnk->Release();
}

// IEnumConnectionPoints and IEnumConnections over a snapshot; every item
// handed out carries a reference of its own.
template <class IEnum, class Item> class Enumerator final : public IEnum {
public:
    Enumerator(const IID& iid, std::vector<Item> items, std::size_t pos = 0)
        : iid_(iid), items_(std::move(items)), pos_(pos) {
        for (const Item& i : items_)
            Hold(i);
    }
    ~Enumerator() {
        for (const Item& i : items_)
            Free(i);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, iid_)) {
            *out = static_cast<IEnum*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG r = --refs_;
        if (r == 0) delete this;
        return r;
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* out, ULONG* fetched) override {
        if (!out || (!fetched && count != 1)) return E_POINTER;
        ULONG n = 0;
        while (n < count && pos_ < items_.size()) {
            out[n] = items_[pos_++];
            Hold(out[n]);
            ++n;
        }
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        std::size_t left = items_.size() - pos_;
        if (count > left) {
            pos_ = items_.size();
            return S_FALSE;
        }
        pos_ += count;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        pos_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnum** out) override {
        if (!out) return E_POINTER;
        *out = new Enumerator(iid_, items_, pos_);
        return S_OK;
    }

private:
    const IID& iid_;
    std::vector<Item> items_;
    std::size_t pos_;
    ULONG refs_ = 1;
};

using PointEnumerator = Enumerator<IEnumConnectionPoints, IConnectionPoint*>;
using ConnectionEnumerator = Enumerator<IEnumConnections, CONNECTDATA>;

template <class T> HRESULT NullOut(T** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return S_OK;
}

template <class T> void Set(T* out, T value) {
    if (out) *out = value;
}

bool ValidBar(long kind) {
    return kind >= 0 && kind <= 3;
}

// Where a new menu or item goes: -1, or anything past the end, appends.
std::size_t InsertAt(long position, std::size_t size) {
    return position < 0 || static_cast<std::size_t>(position) > size
               ? size
               : static_cast<std::size_t>(position);
}

int FindIn(const MenuBar& bar, const wchar_t* text) {
    for (std::size_t i = 0; i < bar.size(); ++i)
        if (bar[i].text == text) return static_cast<int>(i);
    return -1;
}

} // namespace

// ---- connection point ----

ConnectionPoint::~ConnectionPoint() {
    DropSinks();
}

HRESULT ConnectionPoint::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IConnectionPoint)) {
        *out = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

// The point lives inside the application object and shares its count.
ULONG ConnectionPoint::AddRef() {
    return owner_->AddRef();
}
ULONG ConnectionPoint::Release() {
    return owner_->Release();
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = kEventInterface;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    *out = owner_;
    owner_->AddRef();
    return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (cookie) *cookie = 0;
    HostState* s = owner_->State();
    if (!s) return E_UNEXPECTED;
    Call c(s, Op::Advise, -1);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    if (!sink || !cookie) return c.End(E_POINTER);
    // A sink must answer the event interface itself, as with any connection point.
    void* p = nullptr;
    if (FAILED(sink->QueryInterface(kEventInterface, &p)) || !p)
        return c.End(CONNECT_E_CANNOTCONNECT);
    Sink entry{nextCookie_++, static_cast<IDispatch*>(p)};
    sinks_.push_back(entry);
    *cookie = entry.cookie;
    c.Args(static_cast<long>(entry.cookie));
    return c.End(S_OK);
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
    HostState* s = owner_->State();
    if (!s) return CONNECT_E_NOCONNECTION;
    Call c(s, Op::Unadvise, -1);
    c.Args(static_cast<long>(cookie));
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->cookie == cookie) {
            IDispatch* sink = it->sink;
            sinks_.erase(it);
            sink->Release();
            return c.End(S_OK);
        }
    }
    return c.End(CONNECT_E_NOCONNECTION);
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** out) {
    if (!out) return E_POINTER;
    std::vector<CONNECTDATA> items;
    for (const Sink& s : sinks_)
        items.push_back(CONNECTDATA{s.sink, s.cookie});
    *out = new ConnectionEnumerator(IID_IEnumConnections, std::move(items));
    return S_OK;
}

int ConnectionPoint::Fire(DISPID id, VARIANT* args, UINT count) {
    // A handler may unadvise itself or others, and a sink whose lifetime is
    // managed by its owner may even be destroyed in its own handler: each sink
    // is called through the connection's own reference, looked up afresh, and
    // never touched again after its call, unless the host holds a reference
    // of its own across the call (SetHoldSinksAcrossEvents).
    std::vector<DWORD> cookies;
    cookies.reserve(sinks_.size());
    for (const Sink& s : sinks_)
        cookies.push_back(s.cookie);
    int called = 0;
    for (DWORD cookie : cookies) {
        IDispatch* sink = nullptr;
        for (const Sink& live : sinks_)
            if (live.cookie == cookie) sink = live.sink;
        if (!sink) continue;
        DISPPARAMS params{args, nullptr, count, 0};
        VARIANT result;
        VariantInit(&result);
        EXCEPINFO excep{};
        UINT argErr = 0;
        if (hold_) sink->AddRef(); // the sink must then outlive its own handler
        sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, &excep,
                     &argErr);
        if (hold_) heldReleases_.push_back(sink->Release());
        VariantClear(&result);
        SysFreeString(excep.bstrSource);
        SysFreeString(excep.bstrDescription);
        SysFreeString(excep.bstrHelpFile);
        ++called;
    }
    return called;
}

void ConnectionPoint::DropSinks() {
    std::vector<Sink> sinks;
    sinks.swap(sinks_);
    for (const Sink& s : sinks)
        s.sink->Release();
}

// ---- application object ----

HRESULT ApplicationObject::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
        *out = static_cast<IDispatch*>(this);
    } else if (IsEqualIID(riid, IID_IHostApplication)) {
        *out = static_cast<IHostApplication*>(this);
    } else if (IsEqualIID(riid, IID_IProvideClassInfo) ||
               IsEqualIID(riid, IID_IProvideClassInfo2)) {
        if (state_ && state_->classInfo) *out = static_cast<IProvideClassInfo2*>(this);
    } else if (IsEqualIID(riid, IID_IConnectionPointContainer)) {
        if (state_ && state_->connectionPoints != ConnectionPoints::NoContainer)
            *out = static_cast<IConnectionPointContainer*>(this);
    }
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT ApplicationObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT ApplicationObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT ApplicationObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) {
    if (!ids) return E_POINTER;
    for (UINT i = 0; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

HRESULT ApplicationObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                  UINT*) {
    return DISP_E_MEMBERNOTFOUND;
}

// No type library stands behind the object; what the class information is
// asked for in practice is the event interface, which GetGUID names.
HRESULT ApplicationObject::GetClassInfo(ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    return E_NOTIMPL;
}

HRESULT ApplicationObject::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = kEventInterface;
    return S_OK;
}

HRESULT ApplicationObject::EnumConnectionPoints(IEnumConnectionPoints** out) {
    if (!out) return E_POINTER;
    std::vector<IConnectionPoint*> points;
    if (state_ && state_->connectionPoints == ConnectionPoints::Available)
        points.push_back(&point_);
    *out = new PointEnumerator(IID_IEnumConnectionPoints, std::move(points));
    return S_OK;
}

HRESULT ApplicationObject::FindConnectionPoint(REFIID riid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!state_ || state_->connectionPoints != ConnectionPoints::Available ||
        !IsEqualIID(riid, kEventInterface))
        return CONNECT_E_NOCONNECTION;
    *out = &point_;
    point_.AddRef();
    return S_OK;
}

void ApplicationObject::Detach() {
    point_.DropSinks();
    HostObject::Detach();
}

HRESULT ApplicationObject::ActiveDocument(IHostDocument** doc) {
    if (HRESULT hr = NullOut(doc); FAILED(hr)) return hr;
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::HostActiveDocument, -1);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    if (DocumentObject* d = state_->Active()) {
        *doc = d;
        d->AddRef();
    }
    return c.End(S_OK);
}

HRESULT ApplicationObject::NewPart(IHostPart** part) {
    if (HRESULT hr = NullOut(part); FAILED(hr)) return hr;
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::HostNewPart, -1);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    DocumentObject* d = state_->documents[state_->NewDocument(HOST_KIND_PART)];
    *part = d;
    d->AddRef();
    return c.End(S_OK);
}

HRESULT ApplicationObject::NewAssembly(IHostDocument** doc) {
    if (HRESULT hr = NullOut(doc); FAILED(hr)) return hr;
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::HostNewAssembly, -1);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    DocumentObject* d = state_->documents[state_->NewDocument(HOST_KIND_ASSEMBLY)];
    *doc = d;
    d->AddRef();
    return c.End(S_OK);
}

HRESULT ApplicationObject::NewDrawing(LONG w1, LONG w2, LONG w3, LONG w4, LONG w5, LONG w6, LONG w7,
                                      IHostDocument** doc) {
    if (HRESULT hr = NullOut(doc); FAILED(hr)) return hr;
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::HostNewDrawing, -1);
    c.Args(w1, w2, w3, w4, w5, w6, w7);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    DocumentObject* d = state_->documents[state_->NewDocument(HOST_KIND_DRAWING)];
    *doc = d;
    d->AddRef();
    return c.End(S_OK);
}

HRESULT ApplicationObject::AddMenu(LONG kind, LPCWSTR text, LONG position, LONG* result) {
    Set(result, LONG{-1});
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::HostAddMenu, -1);
    c.Args(kind, text, position);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    long at = -1;
    HRESULT hr = state_->AddMenu(kind, text, position, &at);
    Set(result, static_cast<LONG>(at));
    return c.End(hr);
}

HRESULT ApplicationObject::AddMenuItem(LONG kind, LPCWSTR item, LONG position, LPCWSTR callback,
                                       LONG* result) {
    Set(result, LONG{-1});
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::HostAddMenuItem, -1);
    c.Args(kind, item, position, callback);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    if (!item) return c.End(E_POINTER);
    // "text@menu": the item's text, then the menu that holds it.
    std::wstring whole(item);
    std::size_t at = whole.find(L'@');
    if (at == std::wstring::npos || at == 0 || at + 1 == whole.size()) return c.End(E_INVALIDARG);
    std::wstring text = whole.substr(0, at), menu = whole.substr(at + 1);
    long pos = -1;
    HRESULT hr = state_->AddMenuItem(kind, menu.c_str(), text.c_str(), position, callback, &pos);
    Set(result, static_cast<LONG>(pos));
    return c.End(hr);
}

HRESULT ApplicationObject::RemoveMenu(LONG kind, LPCWSTR text, LPCWSTR callback, LONG* result) {
    Set(result, LONG{0});
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::HostRemoveMenu, -1);
    c.Args(kind, text, callback);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    bool removed = false;
    HRESULT hr = state_->RemoveMenu(kind, text, callback, &removed);
    Set(result, static_cast<LONG>(removed ? 1 : 0));
    return c.End(hr);
}

HRESULT ApplicationObject::Frame(IHostFrame** frame) {
    if (HRESULT hr = NullOut(frame); FAILED(hr)) return hr;
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::HostFrame, -1);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    *frame = state_->frame;
    state_->frame->AddRef();
    return c.End(S_OK);
}

HRESULT ApplicationObject::RevisionText(BSTR* text) {
    if (HRESULT hr = NullOut(text); FAILED(hr)) return hr;
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::HostRevisionText, -1);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    *text = SysAllocStringLen(state_->revision.data(), static_cast<UINT>(state_->revision.size()));
    return c.End(*text ? S_OK : E_OUTOFMEMORY);
}

HRESULT ApplicationObject::BuildCode(LONG* code) {
    if (!code) return E_POINTER;
    *code = 0;
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::HostBuildCode, -1);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    *code = state_->build;
    return c.End(S_OK);
}

HRESULT ApplicationObject::CloseDocument(LPCWSTR name) {
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::HostCloseDocument, -1);
    c.Args(name);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    if (!name) return c.End(E_POINTER);
    auto it = state_->openByName.find(name);
    if (it == state_->openByName.end()) return c.End(HOST_E_NOTFOUND);
    state_->CloseDocument(it->second);
    return c.End(S_OK);
}

// ---- host state: documents and menu bars ----

DocumentObject* HostState::Active() const {
    return Open(active);
}

DocumentObject* HostState::Open(int id) const {
    auto it = documents.find(id);
    return it != documents.end() && !it->second->Closed() ? it->second : nullptr;
}

int HostState::NewDocument(long kind) {
    static const wchar_t* const kPrefix[4] = {L"Doc", L"Part", L"Assem", L"Draw"};
    int slot = kind >= 1 && kind <= 3 ? static_cast<int>(kind) : 0;
    std::wstring name = kPrefix[slot] + std::to_wstring(++named[slot]);
    int id = documentsMade++;
    openByName[name] = id;
    documents[id] = new DocumentObject(this, id, kind, std::move(name));
    active = id;
    return id;
}

void HostState::CloseDocument(int id) {
    DocumentObject* d = Open(id);
    if (!d) return;
    // What nobody holds goes now; what someone holds stays, cut off, until
    // the host goes, so that the count shows.
    for (int index : d->BodyHandles()) {
        BodyObject* b = bodies.at(index);
        b->Close();
        if (b->ExternalRefs() == 0) {
            bodies.erase(index);
            b->ReleaseHostReference();
        }
    }
    openByName.erase(d->Model().name);
    d->Close();
    if (d->ExternalRefs() == 0) {
        documents.erase(id);
        d->ReleaseHostReference();
    }
    if (active == id) {
        active = -1;
        for (auto it = documents.rbegin(); it != documents.rend() && active < 0; ++it)
            if (!it->second->Closed()) active = it->first;
    }
}

HRESULT HostState::AddMenu(long kind, const wchar_t* text, long position, long* at) {
    *at = -1;
    if (!ValidBar(kind)) return E_INVALIDARG;
    if (!text) return E_POINTER;
    if (!*text) return E_INVALIDARG;
    MenuBar& bar = bars[static_cast<std::size_t>(kind)];
    int found = FindIn(bar, text);
    if (found >= 0) {
        // A menu is in a bar once; adding it again only counts.
        ++bar[static_cast<std::size_t>(found)].adds;
        *at = found;
        return S_OK;
    }
    std::size_t pos = InsertAt(position, bar.size());
    Menu menu;
    menu.text = text;
    bar.insert(bar.begin() + static_cast<std::ptrdiff_t>(pos), std::move(menu));
    *at = static_cast<long>(pos);
    return S_OK;
}

HRESULT HostState::AddMenuItem(long kind, const wchar_t* menuText, const wchar_t* text,
                               long position, const wchar_t* callback, long* at) {
    *at = -1;
    if (!ValidBar(kind)) return E_INVALIDARG;
    if (!menuText || !text) return E_POINTER;
    if (!*text) return E_INVALIDARG;
    MenuBar& bar = bars[static_cast<std::size_t>(kind)];
    int m = FindIn(bar, menuText);
    if (m < 0) return HOST_E_NOTFOUND;
    Menu& menu = bar[static_cast<std::size_t>(m)];
    int found = menu.FindItem(text);
    if (found >= 0) {
        // Same item again: counted; a new callback text replaces the old one.
        MenuItem& item = menu.items[static_cast<std::size_t>(found)];
        ++item.adds;
        item.callback = callback ? callback : L"";
        *at = found;
        return S_OK;
    }
    std::size_t pos = InsertAt(position, menu.items.size());
    MenuItem item;
    item.text = text;
    item.callback = callback ? callback : L"";
    menu.items.insert(menu.items.begin() + static_cast<std::ptrdiff_t>(pos), std::move(item));
    *at = static_cast<long>(pos);
    return S_OK;
}

HRESULT HostState::RemoveMenu(long kind, const wchar_t* text, const wchar_t* callback,
                              bool* removed) {
    *removed = false;
    if (!ValidBar(kind)) return E_INVALIDARG;
    if (!text) return E_POINTER;
    MenuBar& bar = bars[static_cast<std::size_t>(kind)];
    int m = FindIn(bar, text);
    if (m < 0) return HOST_E_NOTFOUND;
    if (!callback) {
        bar.erase(bar.begin() + m);
        *removed = true;
        return S_OK;
    }
    auto& items = bar[static_cast<std::size_t>(m)].items;
    for (auto it = items.begin(); it != items.end();) {
        if (it->callback == callback) {
            it = items.erase(it);
            *removed = true;
        } else {
            ++it;
        }
    }
    return *removed ? S_OK : HOST_E_NOTFOUND;
}

int Menu::FindItem(const std::wstring& itemText) const {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].text == itemText) return static_cast<int>(i);
    return -1;
}

// ---- frame ----

HRESULT FrameObject::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IHostFrame)) {
        *out = static_cast<IHostFrame*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

// The frame shows the bar of the active document's kind, or the no-document
// bar; a document of a kind without a bar leaves the frame nothing to act on.
HRESULT FrameObject::ShownBar(long* kind) const {
    DocumentObject* d = state_->Active();
    *kind = d ? d->Model().kind : HOST_KIND_NONE;
    return ValidBar(*kind) ? S_OK : HOST_E_STATE;
}

HRESULT FrameObject::AddMenu(LPCWSTR text, LONG position, VARIANT_BOOL* result) {
    Set(result, VARIANT_BOOL{VARIANT_FALSE});
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::FrameAddMenu, -1);
    c.Args(text, position);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    long kind = 0;
    if (HRESULT hr = ShownBar(&kind); FAILED(hr)) return c.End(hr);
    long at = -1;
    HRESULT hr = state_->AddMenu(kind, text, position, &at);
    if (SUCCEEDED(hr)) Set(result, VARIANT_BOOL{VARIANT_TRUE});
    return c.End(hr);
}

HRESULT FrameObject::AddMenuItem(LPCWSTR menu, LPCWSTR item, LONG position, LPCWSTR callback,
                                 VARIANT_BOOL* result) {
    Set(result, VARIANT_BOOL{VARIANT_FALSE});
    if (!state_) return E_UNEXPECTED;
    Call c(state_, Op::FrameAddMenuItem, -1);
    c.Args(menu, item, position, callback);
    if (c.Refused()) return c.End(HOST_E_REFUSED);
    long kind = 0;
    if (HRESULT hr = ShownBar(&kind); FAILED(hr)) return c.End(hr);
    long at = -1;
    HRESULT hr = state_->AddMenuItem(kind, menu, item, position, callback, &at);
    if (SUCCEEDED(hr)) Set(result, VARIANT_BOOL{VARIANT_TRUE});
    return c.End(hr);
}

} // namespace cadhost
