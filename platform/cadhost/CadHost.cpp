// The C++ side of the embedded host: set-up, events, switches, and reading
// back documents, menus, journal and reference counts.
#include "HostObjects.h"

#include <cstdio>
#include <stdexcept>

namespace cadhost {

namespace {

const std::vector<std::wstring> kNoDocumentMenus = {L"&File", L"&View", L"&Tools", L"&Help"};
const std::vector<std::wstring> kDocumentMenus = {L"&File",  L"&Edit",   L"&View", L"&Insert",
                                                  L"&Tools", L"&Window", L"&Help"};

bool ValidKind(long kind) {
    return kind >= 0 && kind <= 3;
}

} // namespace

Host::Host() : state_(new HostState) {
    state_->app = new ApplicationObject(state_);
    state_->frame = new FrameObject(state_);
    SetMenuBar(0, kNoDocumentMenus);
    for (long kind = 1; kind <= 3; ++kind)
        SetMenuBar(kind, kDocumentMenus);
}

Host::~Host() {
    // Cut every object off first: whatever the add-in still holds then fails
    // its calls instead of reaching freed state.
    state_->app->Detach();
    state_->frame->Detach();
    for (auto& d : state_->documents)
        d.second->Detach();
    for (auto& b : state_->bodies)
        b.second->Detach();
    for (auto& b : state_->bodies)
        b.second->ReleaseHostReference();
    for (auto& d : state_->documents)
        d.second->ReleaseHostReference();
    state_->frame->ReleaseHostReference();
    state_->app->ReleaseHostReference();
    delete state_;
}

IDispatch* Host::Application() {
    state_->app->AddRef();
    return state_->app;
}

void Host::SetClassInfoAvailable(bool available) {
    state_->classInfo = available;
}
void Host::SetConnectionPoints(ConnectionPoints mode) {
    state_->connectionPoints = mode;
}

int Host::SinkCount() const {
    return state_->app->Point().SinkCount();
}

void Host::SetHoldSinksAcrossEvents(bool hold) {
    state_->app->Point().SetHoldAcrossInvoke(hold);
}

const std::vector<unsigned long>& Host::HeldSinkReleaseCounts() const {
    return state_->app->Point().HeldReleaseCounts();
}

int Host::FireEvent1(const wchar_t* text) {
    VARIANT arg;
    VariantInit(&arg);
    V_VT(&arg) = VT_BSTR;
    V_BSTR(&arg) = SysAllocString(text ? text : L"");
    int n = state_->app->Point().Fire(kEventText, &arg, 1);
    VariantClear(&arg);
    return n;
}

int Host::FireEvent2(IDispatch* object, long value) {
    // Dispatch arguments travel last to first.
    VARIANT args[2];
    VariantInit(&args[0]);
    VariantInit(&args[1]);
    V_VT(&args[0]) = VT_I4;
    V_I4(&args[0]) = value;
    V_VT(&args[1]) = VT_DISPATCH;
    V_DISPATCH(&args[1]) = object;
    if (object) object->AddRef();
    int n = state_->app->Point().Fire(kEventObjectLong, args, 2);
    VariantClear(&args[1]);
    return n;
}

int Host::FireEvent3() {
    return state_->app->Point().Fire(kEventDestroy, nullptr, 0);
}
int Host::FireEvent5() {
    return state_->app->Point().Fire(kEventActiveChanged, nullptr, 0);
}

int Host::OpenDocument(long kind) {
    return state_->NewDocument(kind);
}

bool Host::ActivateDocument(int id) {
    if (id != -1 && !state_->Open(id)) return false;
    state_->active = id;
    return true;
}

int Host::ActiveDocumentId() const {
    return state_->active;
}
int Host::DocumentCount() const {
    return state_->documentsMade;
}

bool Host::DocumentOpen(int id) const {
    return state_->Open(id) != nullptr;
}

int Host::OpenDocumentCount() const {
    return static_cast<int>(state_->openByName.size());
}

const DocumentModel& Host::Document(int id) const {
    DocumentObject* d = state_->Open(id);
    if (!d) throw std::out_of_range("no open document " + std::to_string(id));
    return d->Model();
}

void Host::SetRevisionText(const std::wstring& text) {
    state_->revision = text;
}
void Host::SetBuildCode(long code) {
    state_->build = code;
}
const std::wstring& Host::RevisionText() const {
    return state_->revision;
}
long Host::BuildCode() const {
    return state_->build;
}

const MenuBar& Host::Menus(long kind) const {
    return state_->bars.at(static_cast<std::size_t>(kind));
}

int Host::FindMenu(long kind, const std::wstring& text) const {
    if (!ValidKind(kind)) return -1;
    const MenuBar& bar = Menus(kind);
    for (std::size_t i = 0; i < bar.size(); ++i)
        if (bar[i].text == text) return static_cast<int>(i);
    return -1;
}

bool Host::ClickMenuItem(long kind, const std::wstring& menu, const std::wstring& item) {
    int position = FindMenu(kind, menu);
    if (position < 0) return false;
    const Menu& m = Menus(kind)[static_cast<std::size_t>(position)];
    int index = m.FindItem(item);
    if (index < 0) return false;
    // Copied: the callback may change the menus.
    const std::wstring callback = m.items[static_cast<std::size_t>(index)].callback;
    FARPROC function = ResolveCallback(callback);
    if (!function) return false;
    // The host ignores what a menu callback returns.
    reinterpret_cast<void (*)()>(reinterpret_cast<void*>(function))();
    return true;
}

FARPROC Host::ResolveCallback(const std::wstring& callback) {
    const std::size_t at = callback.find(L'@');
    if (at == std::wstring::npos || at == 0) return nullptr;
    const std::size_t comma = callback.find(L',', at);
    std::wstring name = callback.substr(at + 1, comma == std::wstring::npos ? std::wstring::npos
                                                                            : comma - at - 1);
    while (!name.empty() && name.back() == L' ')
        name.pop_back();
    if (name.empty()) return nullptr;
    HMODULE module = GetModuleHandleW(callback.substr(0, at).c_str());
    if (!module) return nullptr;
    std::string narrow;
    for (wchar_t c : name) {
        if (c > 0x7F) return nullptr; // export names are ASCII
        narrow += static_cast<char>(c);
    }
    return GetProcAddress(module, narrow.c_str());
}

void Host::SetMenuBar(long kind, const std::vector<std::wstring>& ownMenus) {
    if (!ValidKind(kind)) return;
    MenuBar& bar = state_->bars[static_cast<std::size_t>(kind)];
    bar.clear();
    for (const std::wstring& text : ownMenus) {
        Menu m;
        m.text = text;
        m.own = true;
        bar.push_back(std::move(m));
    }
}

void Host::SetJournalEnabled(bool on) {
    state_->journalOn = on;
}
bool Host::JournalEnabled() const {
    return state_->journalOn;
}
const std::vector<JournalEntry>& Host::Journal() const {
    return state_->journal;
}

std::vector<JournalEntry> Host::Journal(Op op) const {
    std::vector<JournalEntry> out;
    for (const JournalEntry& e : state_->journal)
        if (e.op == op) out.push_back(e);
    return out;
}

void Host::ClearJournal() {
    state_->journal.clear();
}

std::string Host::JournalText() const {
    std::string out;
    for (const JournalEntry& e : state_->journal) {
        out += e.ToString();
        out += '\n';
    }
    return out;
}

unsigned long long Host::Calls(Op op) const {
    return state_->calls[static_cast<int>(op)];
}

void Host::RefuseCall(Op op, unsigned long long nth) {
    if (nth == 0) return;
    int i = static_cast<int>(op);
    state_->refusals[i].at.push_back(state_->calls[i] + nth);
}

void Host::RefuseAll(Op op) {
    state_->refusals[static_cast<int>(op)].all = true;
}
void Host::Accept(Op op) {
    state_->refusals[static_cast<int>(op)] = Refusal{};
}

void Host::AcceptAll() {
    for (Refusal& r : state_->refusals)
        r = Refusal{};
}

long Host::ApplicationRefs() const {
    return state_->app->ExternalRefs();
}
long Host::FrameRefs() const {
    return state_->frame->ExternalRefs();
}

long Host::DocumentRefs(int id) const {
    auto it = state_->documents.find(id);
    return it == state_->documents.end() ? 0 : it->second->ExternalRefs();
}

int Host::BodyHandleCount() const {
    return state_->bodiesMade;
}

long Host::BodyHandleRefs(int index) const {
    auto it = state_->bodies.find(index);
    return it == state_->bodies.end() ? 0 : it->second->ExternalRefs();
}

long Host::OutstandingRefs() const {
    long n = ApplicationRefs() + FrameRefs();
    for (const auto& d : state_->documents)
        n += d.second->ExternalRefs();
    for (const auto& b : state_->bodies)
        n += b.second->ExternalRefs();
    return n;
}

std::string Host::Unreleased() const {
    std::string out;
    auto line = [&out](const std::string& what, long refs) {
        if (refs != 0) out += what + ": " + std::to_string(refs) + "\n";
    };
    line("application", ApplicationRefs());
    line("frame", FrameRefs());
    for (const auto& d : state_->documents)
        line(std::string(d.second->Closed() ? "closed document " : "document ") +
                 std::to_string(d.first) + " (" + Utf8(d.second->Model().name) + ")",
             d.second->ExternalRefs());
    for (const auto& b : state_->bodies)
        line("body handle " + std::to_string(b.first), b.second->ExternalRefs());
    return out;
}

std::string Host::DocumentJson(int id) const {
    std::string out;
    if (!DocumentOpen(id)) return out;
    WriteJson(Document(id), out, nullptr);
    return out;
}

bool Host::WriteDocumentJson(int id, const std::wstring& path) const {
    if (!DocumentOpen(id)) return false;
    std::FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return false;
    {
        std::string buffer;
        WriteJson(Document(id), buffer, f);
    }
    bool ok = !std::ferror(f);
    return std::fclose(f) == 0 && ok;
}

} // namespace cadhost
