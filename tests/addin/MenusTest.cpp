// The &Quorla menu in the host's bars: the no-document bar at every run that
// finds no document, each document kind's bar once, removal at unload.
#include "AddinTestSupport.h"

#include <initializer_list>

using cadhost::Op;

namespace {

// What one SetUpMenus run without a document asks of the host.
const std::vector<std::string> kNoDocumentRun = {
    R"(HostAddMenu(0, "&Quorla", 3) = 0)",
    R"(HostAddMenuItem(0, "Import...@&Quorla", -1, "Quorla@MyQuorla_Import, Import meshes from a 3DM file") = 0)",
    R"(HostAddMenuItem(0, "&Help...@&Quorla", -1, "Quorla@MyQuorla_Help, Display the Quorla for SolidWorks help file") = 0)",
    R"(HostAddMenuItem(0, "&About...@&Quorla", -1, "Quorla@MyQuorla_About, Display the Quorla for SolidWorks about box") = 0)",
};

// What adding the menu to the bar of the active document asks of the frame.
const std::vector<std::string> kFrameRun = {
    R"(HostFrame() = 0)",
    R"(FrameAddMenu("&Quorla", 5) = 0)",
    R"(FrameAddMenuItem("&Quorla", "&Import...", -1, "Quorla@MyQuorla_Import, Import meshes from a 3DM file") = 0)",
    R"(FrameAddMenuItem("&Quorla", "&Help...", -1, "Quorla@MyQuorla_Help, Display the Quorla for SolidWorks help file") = 0)",
    R"(FrameAddMenuItem("&Quorla", "&About...", -1, "Quorla@MyQuorla_About, Display the Quorla for SolidWorks about box") = 0)",
};

const wchar_t* const kCallbacks[] = {
    L"Quorla@MyQuorla_Import, Import meshes from a 3DM file",
    L"Quorla@MyQuorla_Help, Display the Quorla for SolidWorks help file",
    L"Quorla@MyQuorla_About, Display the Quorla for SolidWorks about box",
};

std::vector<std::string> Repeat(const std::vector<std::string>& run, int times) {
    std::vector<std::string> all;
    for (int i = 0; i < times; ++i)
        all.insert(all.end(), run.begin(), run.end());
    return all;
}

class MenuTest : public AddinTest {
protected:
    // The journal's menu calls in order (everything but the document queries).
    std::vector<std::string> MenuCalls() const {
        std::vector<std::string> lines;
        for (const cadhost::JournalEntry& e : host.Journal()) {
            switch (e.op) {
            case Op::HostAddMenu:
            case Op::HostAddMenuItem:
            case Op::HostRemoveMenu:
            case Op::HostFrame:
            case Op::FrameAddMenu:
            case Op::FrameAddMenuItem:
                lines.push_back(e.ToString());
                break;
            default:
                break;
            }
        }
        return lines;
    }

    // The bar's &Quorla menu holds the three items with their callbacks.
    void ExpectQuorlaMenu(long kind, int position, const std::vector<std::wstring>& itemTexts,
                          int adds) {
        SCOPED_TRACE("menu bar " + std::to_string(kind));
        ASSERT_EQ(host.FindMenu(kind, L"&Quorla"), position);
        const cadhost::Menu& menu = host.Menus(kind)[static_cast<std::size_t>(position)];
        EXPECT_EQ(menu.adds, adds);
        ASSERT_EQ(menu.items.size(), 3u);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(menu.items[i].text, itemTexts[i]) << "item " << i;
            EXPECT_EQ(menu.items[i].callback, kCallbacks[i]) << "item " << i;
            EXPECT_EQ(menu.items[i].adds, adds) << "item " << i;
        }
    }
};

const std::vector<std::wstring> kNoDocumentItems = {L"Import...", L"&Help...", L"&About..."};
const std::vector<std::wstring> kDocumentItems = {L"&Import...", L"&Help...", L"&About..."};

} // namespace

TEST_F(MenuTest, WithoutADocumentEveryRunAddsTheNoDocumentMenu) {
    ASSERT_EQ(Init(), 1);
    EXPECT_EQ(MenuCalls(), kNoDocumentRun);
    ExpectQuorlaMenu(0, 3, kNoDocumentItems, 1);

    EXPECT_EQ(host.FireEvent1(L"C:\\models\\bracket.sldprt"), 1);
    EXPECT_EQ(host.FireEvent5(), 1);
    EXPECT_EQ(MenuCalls(), Repeat(kNoDocumentRun, 3)) << "events 1 and 5 add it again";
    ExpectQuorlaMenu(0, 3, kNoDocumentItems, 3);

    // A part comes and goes: the next event without a document adds it once more.
    host.OpenDocument(1);
    host.FireEvent5();
    host.ActivateDocument(-1);
    host.ClearJournal();
    host.FireEvent1(L"");
    EXPECT_EQ(MenuCalls(), kNoDocumentRun);
    ExpectQuorlaMenu(0, 3, kNoDocumentItems, 4);
    for (long kind : {2, 3})
        EXPECT_EQ(host.FindMenu(kind, L"&Quorla"), -1) << "bar " << kind;
}

TEST_F(MenuTest, EachDocumentBarGetsTheMenuOnce) {
    ASSERT_EQ(Init(), 1);
    host.ClearJournal();

    int partA = host.OpenDocument(1);
    host.FireEvent5();
    EXPECT_EQ(MenuCalls(), kFrameRun) << "first part";
    ExpectQuorlaMenu(1, 5, kDocumentItems, 1);

    host.ClearJournal();
    host.OpenDocument(1); // another part
    host.FireEvent1(L"Part2");
    host.FireEvent5();
    EXPECT_EQ(MenuCalls(), std::vector<std::string>{}) << "another part";

    host.OpenDocument(2);
    host.FireEvent5();
    host.FireEvent1(L"Assem1");
    EXPECT_EQ(MenuCalls(), kFrameRun) << "an assembly, then again";
    ExpectQuorlaMenu(2, 5, kDocumentItems, 1);

    host.ClearJournal();
    host.ActivateDocument(partA);
    host.FireEvent5();
    host.OpenDocument(3);
    host.FireEvent1(L"Draw1");
    host.FireEvent5();
    host.OpenDocument(2);
    host.FireEvent5();
    EXPECT_EQ(MenuCalls(), kFrameRun) << "only the drawing is new";
    ExpectQuorlaMenu(3, 5, kDocumentItems, 1);
    ExpectQuorlaMenu(1, 5, kDocumentItems, 1);
    ExpectQuorlaMenu(2, 5, kDocumentItems, 1);
    EXPECT_EQ(host.Calls(Op::FrameAddMenu), 3u);
    EXPECT_EQ(host.Calls(Op::HostFrame), 3u);

    Unload();
    EXPECT_EQ(host.OutstandingRefs(), 0) << host.Unreleased();
}

TEST_F(MenuTest, ADocumentOpenAtStartGetsItsMenuAtOnce) {
    host.OpenDocument(2);
    ASSERT_EQ(Init(), 1);
    EXPECT_EQ(MenuCalls(), kFrameRun);
    ExpectQuorlaMenu(2, 5, kDocumentItems, 1);
    EXPECT_EQ(host.FindMenu(0, L"&Quorla"), -1);
    host.FireEvent5();
    EXPECT_EQ(host.Calls(Op::FrameAddMenu), 1u);
}

TEST_F(MenuTest, AnUnknownDocumentKindAddsNothing) {
    ASSERT_EQ(Init(), 1);
    host.ClearJournal();
    for (long kind : {0L, 4L, -1L, 99L}) {
        host.OpenDocument(kind);
        host.FireEvent5();
        host.FireEvent1(L"");
        EXPECT_EQ(MenuCalls(), std::vector<std::string>{}) << "kind " << kind;
    }
    EXPECT_EQ(host.Calls(Op::DocumentKind), 8u) << "each event asked the document's kind";
    for (long bar : {1, 2, 3})
        EXPECT_EQ(host.FindMenu(bar, L"&Quorla"), -1) << "bar " << bar;

    // The known kinds still get theirs.
    host.OpenDocument(1);
    host.FireEvent5();
    EXPECT_EQ(MenuCalls(), kFrameRun);
    Unload();
    EXPECT_EQ(host.OutstandingRefs(), 0) << host.Unreleased();
}

TEST_F(MenuTest, EventTwoDoesNothing) {
    ASSERT_EQ(Init(), 1);
    host.OpenDocument(1);
    host.ClearJournal();
    IDispatch* object = host.Application();
    long refs = host.ApplicationRefs();
    EXPECT_EQ(host.FireEvent2(object, 42), 1);
    EXPECT_EQ(host.JournalText(), "") << "no host call at all";
    EXPECT_EQ(host.ApplicationRefs(), refs) << "the event's object was not kept";
    object->Release();
}

// Removal at unload, by the document kinds that were opened (in this order).
struct RemovalCase {
    const char* name;
    std::vector<long> opened;
    std::vector<long> removed; // in the order of the calls
};

class RemovalTest : public MenuTest, public ::testing::WithParamInterface<RemovalCase> {};

TEST_P(RemovalTest, UnloadRemovesTheMenuFromExactlyTheDocumentBarsThatGotIt) {
    const RemovalCase& c = GetParam();
    ASSERT_EQ(Init(), 1); // no document: the no-document bar gets the menu
    for (long kind : c.opened) {
        host.OpenDocument(kind);
        host.FireEvent5();
    }
    host.ActivateDocument(-1);
    host.FireEvent1(L"");
    host.ClearJournal();

    Unload();
    std::vector<std::string> expected;
    for (long kind : c.removed)
        expected.push_back("HostRemoveMenu(" + std::to_string(kind) + R"(, "&Quorla", null) = 0)");
    EXPECT_EQ(MenuCalls(), expected);
    for (long kind : {1, 2, 3})
        EXPECT_EQ(host.FindMenu(kind, L"&Quorla"), -1) << "bar " << kind;
    ExpectQuorlaMenu(0, 3, kNoDocumentItems, 2);
    EXPECT_EQ(host.SinkCount(), 0);
    EXPECT_EQ(host.OutstandingRefs(), 0) << host.Unreleased();
}

INSTANTIATE_TEST_SUITE_P(
    Bars, RemovalTest,
    ::testing::Values(RemovalCase{"AllThreeOpenedDrawingFirst", {3, 1, 2, 1, 3}, {1, 2, 3}},
                      RemovalCase{"AssemblyOnly", {2}, {2}},
                      RemovalCase{"DrawingAndPart", {3, 1}, {1, 3}},
                      RemovalCase{"UnknownKindOnly", {7}, {}},
                      RemovalCase{"NoDocumentEver", {}, {}}),
    [](const ::testing::TestParamInfo<RemovalCase>& info) { return info.param.name; });
