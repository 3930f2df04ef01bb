// Benchmark: TMXListCtrl::SortItems against LVM_SORTITEMSEX on the same
// list, by each of five columns (integer, real, percent, date, text), as a
// ratio. The peer's callback reads the two cells by index and compares them
// with the control's own rules (ListOrder.h), parsing both texts each time;
// the control reads and parses each cell once. Each sort starts from the
// same filled list, with painting suspended for both. The last figures
// count neighbours left out of order by each (under Wine the list view
// moves rows while its callback reads them by index, so its result is not
// in order). Under Wine:
//   build/windows/wine-run build/windows/bin/bench_list.exe [rows]
#include <TMXListCtrl.h>
#include <BenchClock.h>

#include "ListOrder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

const wchar_t* const kColumns[] = {L"integer", L"real", L"percent", L"date", L"text"};

// The rows' texts, the same for every fill.
std::vector<std::vector<std::wstring>> MakeRows(int count) {
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> integer(-2000000000, 2000000000), cents(0, 1000000),
        permille(0, 1000), days(32874, 47483), letter(0, 25); // days: 1990 to 2029
    std::vector<std::vector<std::wstring>> rows(static_cast<size_t>(count));
    for (auto& row : rows) {
        wchar_t text[64];
        row.push_back(std::to_wstring(integer(random)));
        swprintf(text, 64, L"%d.%02d", cents(random) - 500000, cents(random) % 100);
        row.push_back(text);
        swprintf(text, 64, L"%d.%d%%", permille(random) / 10, permille(random) % 10);
        row.push_back(text);
        row.push_back(COleDateTime(static_cast<DATE>(days(random)) + permille(random) / 1000.0)
                          .Format()
                          .GetString());
        std::wstring word;
        for (int i = 0; i < 8; ++i)
            word += static_cast<wchar_t>(L'a' + letter(random));
        row.push_back(word);
    }
    return rows;
}

void Fill(TMXListCtrl& list, const std::vector<std::vector<std::wstring>>& rows) {
    list.SendMessage(WM_SETREDRAW, FALSE);
    list.DeleteAllItems();
    list.SendMessage(WM_SETREDRAW, FALSE);
    int index = 0;
    for (const auto& row : rows)
        list.InsertItemEx(index++, row[0].c_str(), row[1].c_str(), row[2].c_str(), row[3].c_str(),
                          row[4].c_str());
    list.SendMessage(WM_SETREDRAW, TRUE);
}

// Neighbours in the column that the rules put the other way round.
int OutOfOrder(TMXListCtrl& list, int column) {
    int count = 0;
    for (int row = 1; row < list.GetItemCount(); ++row)
        count += tmxlist::CompareTexts(list.GetItemText(row - 1, column).GetString(),
                                       list.GetItemText(row, column).GetString()) > 0;
    return count;
}

struct Peer {
    HWND list;
    int column;
    long long comparisons;
};

std::wstring Cell(HWND list, int row, int column) {
    wchar_t text[128];
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 128;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

int CALLBACK ComparePeer(LPARAM first, LPARAM second, LPARAM context) {
    auto* peer = reinterpret_cast<Peer*>(context);
    ++peer->comparisons;
    return tmxlist::CompareTexts(Cell(peer->list, static_cast<int>(first), peer->column),
                                 Cell(peer->list, static_cast<int>(second), peer->column));
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int count = argc > 1 ? std::max(100, _wtoi(argv[1])) : 100000;
    CWnd parent;
    if (!parent.CreateEx(0, L"STATIC", L"bench", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr))
        return 1;
    TMXListCtrl list;
    if (!list.Create(&parent, 1)) return 1;
    list.SetColumnHeader(L"Integer;Real;Percent;Date;Text");
    const auto rows = MakeRows(count);

    std::printf("%d rows, 5 columns; seconds per sort\n", count);
    std::printf("%-8s %12s %16s %8s %12s %s\n", "column", "TMXListCtrl", "LVM_SORTITEMSEX", "ratio",
                "comparisons", "out of order (own, peer)");
    double totalOwn = 0, totalPeer = 0;
    for (int column = 0; column < 5; ++column) {
        Fill(list, rows);
        double start = Seconds();
        list.SortItems(column, TRUE);
        const double own = Seconds() - start;
        const int ownDisorder = OutOfOrder(list, column);

        Fill(list, rows);
        Peer peer{list.m_hWnd, column, 0};
        list.SendMessage(WM_SETREDRAW, FALSE);
        start = Seconds();
        list.SendMessage(LVM_SORTITEMSEX, reinterpret_cast<WPARAM>(&peer),
                         reinterpret_cast<LPARAM>(&ComparePeer));
        const double other = Seconds() - start;
        list.SendMessage(WM_SETREDRAW, TRUE);
        const int peerDisorder = OutOfOrder(list, column);

        std::printf("%-8ls %12.3f %16.3f %8.3f %12lld %d, %d\n", kColumns[column], own, other,
                    own / other, peer.comparisons, ownDisorder, peerDisorder);
        totalOwn += own;
        totalPeer += other;
    }
    std::printf("%-8s %12.3f %16.3f %8.3f   (target: at most 2)\n", "all", totalOwn, totalPeer,
                totalOwn / totalPeer);
    list.DestroyWindow();
    parent.DestroyWindow();
    return 0;
}
