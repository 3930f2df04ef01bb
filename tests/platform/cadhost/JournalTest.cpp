// The journal, refusal on demand, reference counts and the JSON output.
#include "HostTestSupport.h"
#include "TestJson.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

using namespace cadhost;

namespace {

class JournalTest : public HostFixture {};

TEST_F(JournalTest, RecordsEveryCallWithItsArgumentsAsPassed) {
    IHostDocument* doc = NewPartDocument();
    LONG at = 0;
    app->AddMenuItem(0, L"Import...@&Quorla", -1, nullptr, &at);
    doc->CreateLine(0.1, 0.2, 0.1 + 0.2, 1e-310, -0.0, 5, nullptr);
    const LONG props[4] = {3, 2, 2, 0};
    const double knots[4] = {0, 0, 1, 1};
    const double cvs[6] = {0, 0, 0, 1.0 / 3.0, 0, 0};
    doc->CreateSplineFromNurbs(props, knots, cvs, nullptr);

    const auto& j = host.Journal();
    ASSERT_EQ(j.size(), 4u);
    EXPECT_STREQ(j[0].Name(), "HostNewPart");
    EXPECT_EQ(j[0].object, -1);

    EXPECT_EQ(j[1].op, Op::HostAddMenuItem);
    ASSERT_EQ(j[1].args.size(), 4u);
    EXPECT_EQ(j[1].args[1].text, L"Import...@&Quorla");
    EXPECT_EQ(j[1].args[3].type, JournalValue::Type::Null);
    EXPECT_EQ(j[1].status, HOST_E_NOTFOUND);

    EXPECT_EQ(j[2].op, Op::DocCreateLine);
    EXPECT_EQ(j[2].object, 0);
    ASSERT_EQ(j[2].args.size(), 6u);
    EXPECT_EQ(j[2].args[2].number, 0.1 + 0.2);
    EXPECT_EQ(j[2].args[3].number, 1e-310);
    EXPECT_TRUE(std::signbit(j[2].args[4].number));
    EXPECT_EQ(j[2].ToString(),
              "DocCreateLine[doc 0](0.1, 0.2, 0.30000000000000004, 1e-310, -0, 5) = 0");

    ASSERT_EQ(j[3].args.size(), 3u);
    EXPECT_EQ(j[3].args[0].ints, (std::vector<long long>{3, 2, 2, 0}));
    EXPECT_EQ(j[3].args[1].doubles, (std::vector<double>{0, 0, 1, 1}));
    EXPECT_EQ(j[3].args[2].doubles.size(), 6u);
    EXPECT_EQ(j[3].args[2].doubles[3], 1.0 / 3.0);

    EXPECT_EQ(host.JournalText(),
              "HostNewPart() = 0\n"
              "HostAddMenuItem(0, \"Import...@&Quorla\", -1, null) = 0x80040202\n"
              "DocCreateLine[doc 0](0.1, 0.2, 0.30000000000000004, 1e-310, -0, 5) = 0\n"
              "DocCreateSplineFromNurbs[doc 0]([3, 2, 2, 0], [0, 0, 1, 1], "
              "[0, 0, 0, 0.3333333333333333, 0, 0]) = 0\n");
    doc->Release();
}

TEST_F(JournalTest, SwitchedOffItRecordsNothingButCallsAreCounted) {
    host.SetJournalEnabled(false);
    IHostDocument* doc = NewPartDocument();
    for (int i = 0; i < 3; ++i)
        doc->CreatePoint(i, 0, 0, nullptr);
    EXPECT_TRUE(host.Journal().empty());
    EXPECT_EQ(host.Calls(Op::DocCreatePoint), 3u);
    EXPECT_EQ(host.Document(0).entities.size(), 3u);
    host.SetJournalEnabled(true);
    doc->CreatePoint(9, 9, 9, nullptr);
    EXPECT_EQ(host.Journal().size(), 1u);
    EXPECT_EQ(host.Journal(Op::DocCreatePoint).size(), 1u);
    host.ClearJournal();
    EXPECT_TRUE(host.Journal().empty());
    doc->Release();
}

TEST_F(JournalTest, NthCallIsRefusedAndChangesNothing) {
    IHostDocument* doc = NewPartDocument();
    doc->CreateLine(0, 0, 0, 1, 0, 0, nullptr); // before the rule: not counted for it
    host.RefuseCall(Op::DocCreateLine, 2);
    host.RefuseCall(Op::DocCreateLine, 4);
    std::vector<LONG> ids;
    std::vector<HRESULT> statuses;
    for (int i = 0; i < 5; ++i) {
        LONG e = 0;
        statuses.push_back(doc->CreateLine(0, 0, 0, 1, i + 1.0, 0, &e));
        ids.push_back(e);
    }
    EXPECT_EQ(statuses, (std::vector<HRESULT>{S_OK, HOST_E_REFUSED, S_OK, HOST_E_REFUSED, S_OK}));
    EXPECT_EQ(ids, (std::vector<LONG>{1, -1, 2, -1, 3}));
    EXPECT_EQ(host.Document(0).Count(EntityKind::Line), 4u);
    auto lines = host.Journal(Op::DocCreateLine);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[2].status, HOST_E_REFUSED);
    EXPECT_EQ(lines[2].args[4].number, 2.0) << "refused calls keep their arguments";
    doc->Release();
}

TEST_F(JournalTest, AllCallsOfAnOperationAreRefusedUntilAccepted) {
    host.RefuseAll(Op::HostNewPart);
    IHostPart* part = reinterpret_cast<IHostPart*>(1);
    EXPECT_EQ(app->NewPart(&part), HOST_E_REFUSED);
    EXPECT_EQ(part, nullptr);
    EXPECT_EQ(host.DocumentCount(), 0) << "a refused new part makes no document";
    host.Accept(Op::HostNewPart);
    ASSERT_EQ(app->NewPart(&part), S_OK);

    host.RefuseAll(Op::PartCreateBody);
    host.RefuseAll(Op::BodyCreateFromFaces);
    IHostBody* body = reinterpret_cast<IHostBody*>(1);
    EXPECT_EQ(part->CreateBody(&body), HOST_E_REFUSED);
    EXPECT_EQ(body, nullptr);
    host.Accept(Op::PartCreateBody);
    ASSERT_EQ(part->CreateBody(&body), S_OK);
    const double c[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    const double n[3] = {0, 0, 1};
    body->AddPlanarFace(3, c, n);
    VARIANT_BOOL solid = 0;
    EXPECT_EQ(body->CreateFromFaces(&solid), HOST_E_REFUSED);
    EXPECT_TRUE(host.Document(0).bodies.empty());
    host.AcceptAll();
    EXPECT_EQ(body->CreateFromFaces(&solid), S_OK) << "the faces were kept";
    EXPECT_EQ(host.Document(0).bodies.size(), 1u);
    body->Release();
    part->Release();
}

TEST_F(JournalTest, ReferenceCountsFollowEveryHandle) {
    EXPECT_EQ(host.ApplicationRefs(), 1) << "the fixture's application interface";
    IHostPart* part = nullptr;
    IHostDocument* doc = nullptr;
    IHostFrame* frame = nullptr;
    app->NewPart(&part);
    app->ActiveDocument(&doc);
    app->Frame(&frame);
    EXPECT_EQ(host.DocumentRefs(0), 2);
    EXPECT_EQ(host.FrameRefs(), 1);
    IHostBody* body = nullptr;
    part->CreateBody(&body);
    EXPECT_EQ(host.BodyHandleRefs(0), 1);
    EXPECT_EQ(host.OutstandingRefs(), 5);
    body->Release();
    frame->Release();
    part->Release();
    EXPECT_EQ(host.Unreleased(), "application: 1\ndocument 0 (Part1): 1\n");
    doc->Release();
    EXPECT_EQ(host.DocumentRefs(0), 0);
    EXPECT_EQ(host.BodyHandleRefs(0), 0);
}

TEST(OpNames, EveryOperationHasItsNameBothWays) {
    for (int i = 0; i < kOpCount; ++i) {
        Op op;
        ASSERT_TRUE(OpFromName(OpName(static_cast<Op>(i)), &op)) << i;
        EXPECT_EQ(static_cast<int>(op), i);
    }
    EXPECT_STREQ(OpName(Op::DocCreateSplineFromNurbs), "DocCreateSplineFromNurbs");
    EXPECT_STREQ(OpName(Op::FrameAddMenuItem), "FrameAddMenuItem");
    EXPECT_FALSE(OpFromName("DocCreateNothing", nullptr));
}

std::vector<double> Numbers(const testjson::Value& v) {
    std::vector<double> out;
    for (const auto& i : v.items)
        out.push_back(i.Num());
    return out;
}

TEST_F(JournalTest, DocumentAsJson) {
    IHostPart* part = nullptr;
    app->NewPart(&part);
    IHostDocument* doc = nullptr;
    app->ActiveDocument(&doc);
    doc->CreationSwitchA(1);
    doc->SetLengthUnit(3);
    doc->CreatePoint(0.1, 0.2, 0.3, nullptr);
    doc->Toggle3DSketch(0);
    doc->CreateLine(0, 0, 0, 0.0254, 1.0 / 3.0, 0, nullptr);
    doc->CreateArc(0, 0, 0, 1, 0, 0, 0, 1, 0, 1, nullptr);
    doc->CreateCircle(1, 1, 1, 0.5, nullptr);
    const double pts[6] = {0, 0, 0, 1, 1, 1};
    doc->CreateSplineThroughPoints(2, pts, nullptr);
    const LONG props[4] = {3, 2, 2, 0};
    const double knots[4] = {0, 0, 1, 1};
    doc->CreateSplineFromNurbs(props, knots, pts, nullptr);
    doc->Toggle3DSketch(0);
    doc->CloseOutA();
    IHostBody* body = nullptr;
    part->CreateBody(&body);
    const double c[12] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    const double n[3] = {0, 0, 1};
    body->AddPlanarFace(4, c, n);
    VARIANT_BOOL solid = 0;
    body->CreateFromFaces(&solid);
    body->Release();
    doc->Release();
    part->Release();

    const std::string text = host.DocumentJson(0);
    testjson::Value j = testjson::Parse(text);
    EXPECT_EQ(j["name"].Str(), "Part1");
    EXPECT_EQ(j["kind"].Str(), "part");
    EXPECT_EQ(j["kindCode"].Int(), 1);
    EXPECT_EQ(j["lengthUnit"].Int(), 3);
    EXPECT_EQ(j["lengthUnitName"].Str(), "inches");
    EXPECT_EQ(j["creationSwitchA"].Int(), 1);
    EXPECT_TRUE(j["creationSwitchB"].IsNull());
    EXPECT_EQ(j["closeOuts"]["A"].Int(), 1);
    EXPECT_EQ(j["closeOuts"]["C"].Int(), 0);

    ASSERT_EQ(j["entities"].size(), 1u);
    EXPECT_EQ(j["entities"][0]["type"].Str(), "point");
    EXPECT_EQ(Numbers(j["entities"][0]["point"]), (std::vector<double>{0.1, 0.2, 0.3}));

    ASSERT_EQ(j["sketches"].size(), 1u);
    const auto& sk = j["sketches"][0];
    EXPECT_FALSE(sk["open"].Bool());
    const auto& e = sk["entities"];
    ASSERT_EQ(e.size(), 5u);
    EXPECT_EQ(e[0]["type"].Str(), "line");
    EXPECT_EQ(Numbers(e[0]["end"]), (std::vector<double>{0.0254, 1.0 / 3.0, 0}));
    EXPECT_EQ(e[1]["type"].Str(), "arc");
    EXPECT_EQ(e[1]["direction"].Int(), 1);
    EXPECT_EQ(Numbers(e[1]["end"]), (std::vector<double>{0, 1, 0}));
    EXPECT_EQ(e[2]["type"].Str(), "circle");
    EXPECT_EQ(e[2]["radius"].Num(), 0.5);
    EXPECT_EQ(e[3]["type"].Str(), "splineThroughPoints");
    ASSERT_EQ(e[3]["points"].size(), 2u);
    EXPECT_EQ(Numbers(e[3]["points"][1]), (std::vector<double>{1, 1, 1}));
    EXPECT_EQ(e[4]["type"].Str(), "splineFromNurbs");
    EXPECT_EQ(e[4]["order"].Int(), 2);
    EXPECT_EQ(e[4]["periodic"].Int(), 0);
    EXPECT_EQ(Numbers(e[4]["knots"]), (std::vector<double>{0, 0, 1, 1}));
    EXPECT_EQ(e[4]["controlPoints"].size(), 2u);

    ASSERT_EQ(j["bodies"].size(), 1u);
    EXPECT_EQ(j["bodies"][0]["type"].Str(), "sheet");
    const auto& face = j["bodies"][0]["faces"][0];
    ASSERT_EQ(face["corners"].size(), 4u);
    EXPECT_EQ(Numbers(face["corners"][2]), (std::vector<double>{1, 1, 0}));
    EXPECT_EQ(Numbers(face["normal"]), (std::vector<double>{0, 0, 1}));

    wchar_t dir[MAX_PATH], path[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    GetTempFileNameW(dir, L"cdh", 0, path);
    ASSERT_TRUE(host.WriteDocumentJson(0, path));
    std::ifstream in(path, std::ios::binary);
    std::stringstream written;
    written << in.rdbuf();
    in.close();
    DeleteFileW(path);
    EXPECT_EQ(written.str(), text);
    EXPECT_FALSE(host.WriteDocumentJson(5, path));
    EXPECT_EQ(host.DocumentJson(-1), "");
}

TEST_F(JournalTest, EmptyDrawingAndUnknownKindAsJson) {
    IHostDocument* drawing = nullptr;
    app->NewDrawing(11, 0, 11, 0, 0, 0, 0, &drawing);
    drawing->CreateLine(0, 0, 0, 1, 0, 0, nullptr);
    drawing->Release();
    host.OpenDocument(42);
    testjson::Value d = testjson::Parse(host.DocumentJson(0));
    EXPECT_EQ(d["kind"].Str(), "drawing");
    EXPECT_EQ(d["sketches"].size(), 0u);
    EXPECT_EQ(d["entities"].size(), 1u);
    EXPECT_EQ(d["bodies"].size(), 0u);
    testjson::Value u = testjson::Parse(host.DocumentJson(1));
    EXPECT_EQ(u["kind"].Str(), "unknown");
    EXPECT_EQ(u["kindCode"].Int(), 42);
    EXPECT_EQ(u["name"].Str(), "Doc1");
    EXPECT_EQ(u["entities"].size(), 0u);
}

} // namespace
