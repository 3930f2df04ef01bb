// Menu bars: the application's operations on a bar by kind, the frame's on
// the bar of the active document's kind.
#include "HostTestSupport.h"

#include <vector>

using namespace cadhost;

namespace {

const wchar_t* const kImportCallback = L"Quorla@MyQuorla_Import, Import meshes from a 3DM file";
const wchar_t* const kHelpCallback =
    L"Quorla@MyQuorla_Help, Display the Quorla for SolidWorks help file";

std::vector<std::wstring> Texts(const MenuBar& bar) {
    std::vector<std::wstring> out;
    for (const Menu& m : bar)
        out.push_back(m.text);
    return out;
}

class MenusTest : public HostFixture {
protected:
    IHostFrame* Frame() {
        IHostFrame* f = nullptr;
        EXPECT_EQ(app->Frame(&f), S_OK);
        return f;
    }
};

TEST_F(MenusTest, BarsStartWithTheHostsOwnMenus) {
    EXPECT_EQ(Texts(host.Menus(0)),
              (std::vector<std::wstring>{L"&File", L"&View", L"&Tools", L"&Help"}));
    for (long kind = 1; kind <= 3; ++kind) {
        EXPECT_EQ(Texts(host.Menus(kind)),
                  (std::vector<std::wstring>{L"&File", L"&Edit", L"&View", L"&Insert", L"&Tools",
                                             L"&Window", L"&Help"}))
            << "bar " << kind;
        EXPECT_TRUE(host.Menus(kind)[0].own);
    }
}

TEST_F(MenusTest, NoDocumentBarTakesMenuAndItemsAtTheirPositions) {
    LONG at = -7;
    ASSERT_EQ(app->AddMenu(0, L"&Quorla", 3, &at), S_OK);
    EXPECT_EQ(at, 3);
    ASSERT_EQ(app->AddMenuItem(0, L"Import...@&Quorla", -1, kImportCallback, &at), S_OK);
    EXPECT_EQ(at, 0);
    ASSERT_EQ(app->AddMenuItem(0, L"&Help...@&Quorla", -1, kHelpCallback, &at), S_OK);
    EXPECT_EQ(at, 1);
    ASSERT_EQ(app->AddMenuItem(0, L"&First@&Quorla", 0, L"Quorla@First", &at), S_OK);
    EXPECT_EQ(at, 0);

    const MenuBar& bar = host.Menus(0);
    EXPECT_EQ(Texts(bar),
              (std::vector<std::wstring>{L"&File", L"&View", L"&Tools", L"&Quorla", L"&Help"}));
    EXPECT_EQ(host.FindMenu(0, L"&Quorla"), 3);
    const Menu& q = bar[3];
    EXPECT_FALSE(q.own);
    ASSERT_EQ(q.items.size(), 3u);
    EXPECT_EQ(q.items[0].text, L"&First");
    EXPECT_EQ(q.items[1].text, L"Import...");
    EXPECT_EQ(q.items[1].callback, kImportCallback);
    EXPECT_EQ(q.items[2].text, L"&Help...");
    EXPECT_EQ(q.items[2].callback, kHelpCallback);
    for (long kind = 1; kind <= 3; ++kind)
        EXPECT_EQ(host.FindMenu(kind, L"&Quorla"), -1);
}

TEST_F(MenusTest, AddingAgainCountsInsteadOfDuplicating) {
    LONG at = -1;
    app->AddMenu(0, L"&Quorla", 3, &at);
    app->AddMenuItem(0, L"Import...@&Quorla", -1, kImportCallback, &at);
    EXPECT_EQ(app->AddMenu(0, L"&Quorla", 3, &at), S_OK);
    EXPECT_EQ(at, 3);
    EXPECT_EQ(app->AddMenuItem(0, L"Import...@&Quorla", -1, kImportCallback, &at), S_OK);
    EXPECT_EQ(at, 0);
    const Menu& q = host.Menus(0)[3];
    EXPECT_EQ(host.Menus(0).size(), 5u);
    EXPECT_EQ(q.adds, 2);
    ASSERT_EQ(q.items.size(), 1u);
    EXPECT_EQ(q.items[0].adds, 2);
}

TEST_F(MenusTest, MalformedMenuCallsFail) {
    LONG at = 5;
    EXPECT_EQ(app->AddMenu(4, L"&Quorla", 3, &at), E_INVALIDARG);
    EXPECT_EQ(at, -1);
    EXPECT_EQ(app->AddMenu(-1, L"&Quorla", 3, &at), E_INVALIDARG);
    EXPECT_EQ(app->AddMenu(0, nullptr, 3, &at), E_POINTER);
    EXPECT_EQ(app->AddMenu(0, L"", 3, &at), E_INVALIDARG);
    EXPECT_EQ(app->AddMenuItem(0, L"Import...@&Nowhere", -1, kImportCallback, &at),
              HOST_E_NOTFOUND);
    EXPECT_EQ(at, -1);
    EXPECT_EQ(app->AddMenuItem(0, L"Import...", -1, kImportCallback, &at), E_INVALIDARG);
    EXPECT_EQ(app->AddMenuItem(0, L"@&File", -1, kImportCallback, &at), E_INVALIDARG);
    EXPECT_EQ(app->AddMenuItem(0, nullptr, -1, kImportCallback, &at), E_POINTER);
    EXPECT_EQ(app->AddMenu(2, L"&Far", 99, &at), S_OK) << "past the end appends";
    EXPECT_EQ(at, 7);
}

TEST_F(MenusTest, FrameActsOnTheBarOfTheActiveKind) {
    IHostFrame* frame = Frame();
    VARIANT_BOOL ok = VARIANT_FALSE;
    // No document: the frame shows the no-document bar.
    EXPECT_EQ(frame->AddMenu(L"&Quorla", 5, &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);
    EXPECT_EQ(host.FindMenu(0, L"&Quorla"), 4) << "past the end of four menus";

    const int part = host.OpenDocument(HOST_KIND_PART);
    EXPECT_EQ(frame->AddMenu(L"&Quorla", 5, &ok), S_OK);
    EXPECT_EQ(frame->AddMenuItem(L"&Quorla", L"&Import...", -1, kImportCallback, &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);
    EXPECT_EQ(frame->AddMenuItem(L"&Quorla", L"&Help...", -1, kHelpCallback, &ok), S_OK);
    EXPECT_EQ(host.FindMenu(1, L"&Quorla"), 5);
    EXPECT_EQ(host.Menus(1)[6].text, L"&Window");
    ASSERT_EQ(host.Menus(1)[5].items.size(), 2u);
    EXPECT_EQ(host.Menus(1)[5].items[1].text, L"&Help...");
    EXPECT_EQ(host.FindMenu(2, L"&Quorla"), -1);
    EXPECT_EQ(host.FindMenu(3, L"&Quorla"), -1);

    host.OpenDocument(HOST_KIND_ASSEMBLY);
    EXPECT_EQ(frame->AddMenu(L"&Quorla", 5, &ok), S_OK);
    EXPECT_EQ(host.FindMenu(2, L"&Quorla"), 5);
    EXPECT_EQ(host.Menus(2)[5].items.size(), 0u);
    EXPECT_EQ(host.Menus(1)[5].adds, 1) << "the part bar was not touched again";

    host.OpenDocument(HOST_KIND_DRAWING);
    EXPECT_EQ(frame->AddMenuItem(L"&Quorla", L"&About...", -1, L"x", &ok), HOST_E_NOTFOUND);
    EXPECT_EQ(ok, VARIANT_FALSE);

    host.OpenDocument(9);
    EXPECT_EQ(frame->AddMenu(L"&Quorla", 5, &ok), HOST_E_STATE) << "no bar for an unknown kind";
    EXPECT_EQ(ok, VARIANT_FALSE);

    host.ActivateDocument(part);
    EXPECT_EQ(frame->AddMenu(L"&Quorla", 5, &ok), S_OK);
    EXPECT_EQ(host.Menus(1)[5].adds, 2);
    EXPECT_EQ(host.FrameRefs(), 1);
    frame->Release();
}

TEST_F(MenusTest, RemoveTakesTheMenuOrItsItemsByCallback) {
    LONG at = -1, removed = -1;
    for (long kind = 1; kind <= 3; ++kind) {
        app->AddMenu(kind, L"&Quorla", 5, &at);
        app->AddMenuItem(kind, L"&Import...@&Quorla", -1, kImportCallback, &at);
        app->AddMenuItem(kind, L"&Help...@&Quorla", -1, kHelpCallback, &at);
    }
    ASSERT_EQ(app->RemoveMenu(2, L"&Quorla", nullptr, &removed), S_OK);
    EXPECT_EQ(removed, 1);
    EXPECT_EQ(host.FindMenu(2, L"&Quorla"), -1);
    EXPECT_EQ(host.Menus(2).size(), 7u);
    EXPECT_EQ(app->RemoveMenu(2, L"&Quorla", nullptr, &removed), HOST_E_NOTFOUND);
    EXPECT_EQ(removed, 0);

    ASSERT_EQ(app->RemoveMenu(3, L"&Quorla", kHelpCallback, &removed), S_OK);
    EXPECT_EQ(removed, 1);
    ASSERT_EQ(host.Menus(3)[5].items.size(), 1u);
    EXPECT_EQ(host.Menus(3)[5].items[0].text, L"&Import...");
    EXPECT_EQ(app->RemoveMenu(3, L"&Quorla", L"Quorla@Other", &removed), HOST_E_NOTFOUND);
    EXPECT_EQ(app->RemoveMenu(7, L"&Quorla", nullptr, &removed), E_INVALIDARG);
    EXPECT_EQ(host.FindMenu(1, L"&Quorla"), 5);
}

} // namespace
