// The window of one host document inside the host's main window (an MDI
// child), titled with the document's name and kind: its view on the left,
// and on the right a list of what it holds by kind with the counts.
#pragma once

#include "CadHost.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace quorlahost {

// Messages a document window sends to the main window.
enum : UINT {
    kMsgDocumentActivated = WM_APP + 1, // wParam: document id
    kMsgCloseDocument = WM_APP + 2,     // wParam: document id
};

class DocumentWindow {
public:
    static const wchar_t* const kClassName;
    static bool Register(HINSTANCE instance);
    // A new child of the MDI client; it activates.
    static HWND Create(HWND mdiClient, const cadhost::Host& host, int id);
    static int DocumentId(HWND child); // -1 for another window
    static HWND View(HWND child);
    static HWND List(HWND child);

    // "Part1 (part)"
    static std::wstring Title(const cadhost::DocumentModel& doc);
    // The list's rows: 3D sketches, entities by kind, bodies by kind, faces;
    // kinds the document has none of are left out.
    static std::vector<std::pair<std::wstring, std::size_t>> Rows(const cadhost::DocumentModel& doc);

    static constexpr int kListWidth = 210;
};

} // namespace quorlahost
