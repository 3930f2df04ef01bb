// What TMXListCtrl keeps for each row it inserted, as the row's item data.
#pragma once

#include <windows.h>

#include <unordered_set>
#include <vector>

struct ListItemRecord {
    DWORD_PTR dwUserData = 0;          // the caller's item data
    std::vector<COLORREF> aTextColors; // one per column
    std::vector<COLORREF> aBkColors;
};

// The records the control allocated. An item's lParam is taken for a record
// only when it is one of these: a row inserted or changed through the list
// view's own messages may hold any value.
struct ListRecordSet {
    std::unordered_set<ListItemRecord*> records;
};
