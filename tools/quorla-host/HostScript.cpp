#include "HostScript.h"

#include "DialogDriver.h"
#include "DocumentView.h"
#include "DocumentWindow.h"
#include "HostWindow.h"
#include "Screenshots.h"
#include "WindowCapture.h"

#include <cwchar>
#include <fstream>
#include <map>
#include <sstream>

namespace quorlahost {

namespace {

// Words each command takes: at least, at most (-1: any).
struct Arity {
    int least, most;
};
const std::map<std::wstring, Arity> kCommands = {
    {L"import", {1, -1}}, {L"menu", {2, 2}},     {L"dialog", {0, 1}}, {L"file", {1, 1}},
    {L"text", {2, 2}},    {L"check", {2, 2}},    {L"select", {2, 2}}, {L"click", {1, 1}},
    {L"activate", {1, 1}}, {L"turn", {3, 3}},    {L"zoom", {2, 2}},   {L"save", {3, 3}},
    {L"close", {1, 1}},   {L"size", {2, 2}},     {L"shot", {1, 1}},   {L"wait", {1, 1}},
};

bool Number(const std::wstring& text, double* value) {
    wchar_t* end = nullptr;
    *value = std::wcstod(text.c_str(), &end);
    return !text.empty() && end && *end == 0;
}

bool Integer(const std::wstring& text, int* value) {
    double d;
    if (!Number(text, &d) || d != static_cast<int>(d)) return false;
    *value = static_cast<int>(d);
    return true;
}

// The open document called name, -1 when there is none.
int FindDocument(HostWindow& host, const std::wstring& name) {
    for (int id = 0; id < host.Host().DocumentCount(); id++)
        if (host.Host().DocumentOpen(id) && host.Host().Document(id).name == name) return id;
    return -1;
}

} // namespace

std::vector<std::wstring> HostScript::Split(const std::wstring& line) {
    std::vector<std::wstring> words;
    std::wstring word;
    bool quoted = false, any = false;
    for (wchar_t c : line) {
        if (c == L'"') {
            quoted = !quoted;
            any = true;
        } else if (!quoted && c == L'#') {
            break;
        } else if (!quoted && (c == L' ' || c == L'\t' || c == L'\r')) {
            if (any) words.push_back(word);
            word.clear();
            any = false;
        } else {
            word += c;
            any = true;
        }
    }
    if (any) words.push_back(word);
    return words;
}

bool HostScript::Parse(const std::wstring& text, std::wstring* error) {
    steps_.clear();
    std::wistringstream in(text);
    std::wstring line;
    bool inDialog = false;
    for (int number = 1; std::getline(in, line); number++) {
        std::vector<std::wstring> words = Split(line);
        if (words.empty()) continue;
        auto fail = [&](const std::wstring& what) {
            if (error) *error = L"line " + std::to_wstring(number) + L": " + what;
            return false;
        };
        auto it = kCommands.find(words[0]);
        if (it == kCommands.end()) return fail(L"unknown step \"" + words[0] + L"\"");
        const int n = static_cast<int>(words.size()) - 1;
        if (n < it->second.least || (it->second.most >= 0 && n > it->second.most))
            return fail(L"wrong number of arguments for " + words[0]);
        const bool dialogStep = words[0] == L"file" || words[0] == L"text" ||
                                words[0] == L"check" || words[0] == L"select" ||
                                words[0] == L"click";
        if (dialogStep && !inDialog) return fail(words[0] + L" outside a dialog");
        inDialog = dialogStep || words[0] == L"dialog";
        int id;
        if (dialogStep && words[0] != L"file" && !Integer(words[1], &id))
            return fail(L"a control id is a number");
        steps_.push_back({number, std::move(words)});
    }
    return true;
}

bool HostScript::Load(const std::wstring& path, std::wstring* error) {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) {
        if (error) *error = L"cannot read " + path;
        return false;
    }
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string utf8 = bytes.str();
    std::wstring text(utf8.size(), L'\0');
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                      &text[0], static_cast<int>(text.size()));
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return Parse(text, error);
}

bool HostScript::Run(HostWindow& host, testsupport::DialogDriver& driver, Screenshots* shots,
                     std::wstring* error) const {
    testsupport::DialogDriver::Script* dialog = nullptr;
    for (const Step& step : steps_) {
        const std::vector<std::wstring>& w = step.words;
        auto fail = [&](const std::wstring& what) {
            if (error) *error = L"line " + std::to_wstring(step.line) + L": " + what;
            return false;
        };
        const std::wstring& command = w[0];
        int id = 0, index = 0;
        if (command == L"dialog") {
            dialog = &driver.Expect(w.size() > 1 ? w[1] : L"");
            continue;
        }
        if (command == L"file") {
            const std::wstring path = w[1];
            dialog->Do([path](HWND d) {
                HWND field = GetDlgItem(d, 1148);
                if (!field) field = GetDlgItem(d, 1152);
                SetWindowTextW(field, path.c_str());
            });
            continue;
        }
        if (command == L"text" || command == L"check" || command == L"select" || command == L"click") {
            Integer(w[1], &id);
            if (command == L"text") dialog->Text(id, w[2]);
            else if (command == L"click") dialog->Click(id);
            else if (!Integer(w[2], &index)) return fail(L"a number is wanted");
            else if (command == L"check") dialog->Check(id, index);
            else dialog->Select(id, index);
            continue;
        }
        dialog = nullptr;
        if (command == L"import") {
            host.ImportFiles(std::vector<std::wstring>(w.begin() + 1, w.end()));
        } else if (command == L"menu") {
            const int command_id = host.CommandId(w[1], w[2]);
            if (!command_id) return fail(L"no item \"" + w[2] + L"\" in menu \"" + w[1] + L"\"");
            host.Command(command_id);
        } else if (command == L"size") {
            int width, height;
            if (!Integer(w[1], &width) || !Integer(w[2], &height)) return fail(L"a size is two numbers");
            SetWindowPos(host.Frame(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
        } else if (command == L"shot") {
            if (shots) shots->Save(host.Frame(), Screenshots::FileName(w[1]));
        } else if (command == L"wait") {
            if (!Integer(w[1], &id) || id < 0) return fail(L"a time in milliseconds is wanted");
            wincapture::Pump(static_cast<unsigned>(id));
        } else {
            const int doc = FindDocument(host, w[1]);
            if (doc < 0) return fail(L"no open document \"" + w[1] + L"\"");
            HWND child = host.DocumentWindowOf(doc);
            DocumentView* view = child ? DocumentView::From(DocumentWindow::View(child)) : nullptr;
            double a = 0, b = 0;
            if (command == L"activate") {
                SendMessageW(host.Client(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
            } else if (command == L"close") {
                host.CloseDocument(doc);
            } else if (command == L"save") {
                if (w[2] != L"json" && w[2] != L"svg") return fail(L"save as json or svg");
                if (!host.SaveDocument(doc, w[3], w[2] == L"svg")) return fail(L"cannot write " + w[3]);
            } else if (command == L"turn") {
                if (!Number(w[2], &a) || !Number(w[3], &b)) return fail(L"angles are numbers");
                const double k = 3.14159265358979323846 / 180;
                if (view) {
                    view->Turn(a * k, b * k);
                    view->Fit();
                }
            } else if (command == L"zoom") {
                if (!Number(w[2], &a)) return fail(L"a factor is a number");
                RECT r{};
                if (view) {
                    GetClientRect(view->Window(), &r);
                    view->Zoom(a, r.right / 2, r.bottom / 2);
                }
            }
        }
        wincapture::Pump(150);
    }
    return true;
}

} // namespace quorlahost
