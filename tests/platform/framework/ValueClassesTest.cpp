// Value classes beside the windows: OLE dates and GDI objects.
#include <framework.h>

#include <gtest/gtest.h>

#include <limits>

namespace {

struct DateCase {
    int y, mo, d, h, mi, s;
    double date; // as the system's automation dates count
};

TEST(OleDateTime, PartsAndAutomationDatesAgree) {
    const DateCase cases[] = {
        {1899, 12, 30, 0, 0, 0, 0.0},       {1899, 12, 30, 12, 0, 0, 0.5},
        {1899, 12, 29, 6, 0, 0, -1.25},     {1899, 12, 28, 18, 0, 0, -2.75},
        {1900, 1, 1, 0, 0, 0, 2.0},         {1900, 3, 1, 0, 0, 0, 61.0},
        {2000, 2, 29, 23, 59, 59, 36585.0 + 86399.0 / 86400.0},
        {100, 1, 1, 0, 0, 0, -657434.0},    {9999, 12, 31, 0, 0, 0, 2958465.0},
    };
    for (const DateCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.y << "-" << c.mo << "-" << c.d << " " << c.h << ":"
                                        << c.mi << ":" << c.s);
        COleDateTime t(c.y, c.mo, c.d, c.h, c.mi, c.s);
        EXPECT_EQ(t.GetStatus(), COleDateTime::valid);
        EXPECT_DOUBLE_EQ(t.m_dt, c.date);
        // The system agrees where it converts (Wine's and Windows' range).
        SYSTEMTIME st{static_cast<WORD>(c.y), static_cast<WORD>(c.mo), 0, static_cast<WORD>(c.d),
                      static_cast<WORD>(c.h), static_cast<WORD>(c.mi), static_cast<WORD>(c.s), 0};
        double system = 0;
        if (SystemTimeToVariantTime(&st, &system)) {
            EXPECT_DOUBLE_EQ(system, c.date);
        }
        // And the parts come back from the date.
        COleDateTime back(c.date);
        EXPECT_EQ(back.GetYear(), c.y);
        EXPECT_EQ(back.GetMonth(), c.mo);
        EXPECT_EQ(back.GetDay(), c.d);
        EXPECT_EQ(back.GetHour(), c.h);
        EXPECT_EQ(back.GetMinute(), c.mi);
        EXPECT_EQ(back.GetSecond(), c.s);
    }
    EXPECT_EQ(COleDateTime(2026, 12, 9, 0, 0, 0).GetDayOfWeek(), 4) << "a Wednesday";
    EXPECT_EQ(COleDateTime(2024, 12, 31, 0, 0, 0).GetDayOfYear(), 366);
}

TEST(OleDateTime, InvalidPartsAndDatesAndOrder) {
    const int bad[][6] = {{99, 1, 1, 0, 0, 0},   {10000, 1, 1, 0, 0, 0}, {2023, 2, 29, 0, 0, 0},
                          {2024, 13, 1, 0, 0, 0}, {2024, 1, 0, 0, 0, 0},  {2024, 1, 1, 24, 0, 0},
                          {2024, 1, 1, 0, 60, 0}, {2024, 1, 1, 0, 0, 60}};
    for (const auto& p : bad) {
        COleDateTime t;
        EXPECT_EQ(t.SetDateTime(p[0], p[1], p[2], p[3], p[4], p[5]), 1) << p[0] << "-" << p[1];
        EXPECT_EQ(t.GetStatus(), COleDateTime::invalid);
        EXPECT_EQ(t.GetYear(), -1);
    }
    for (double d : {-657434.5, 2958466.0, 1e300, std::numeric_limits<double>::quiet_NaN(),
                     std::numeric_limits<double>::infinity()})
        EXPECT_FALSE(COleDateTime::IsValidDate(d)) << d;
    EXPECT_EQ(COleDateTime(1e10).GetStatus(), COleDateTime::invalid);

    // Before 1899-12-30 the time of day still runs forward: -1.75 is later than -1.25.
    EXPECT_LT(COleDateTime(-1.25), COleDateTime(-1.75));
    EXPECT_LT(COleDateTime(-1.75), COleDateTime(0.0));
    EXPECT_EQ(COleDateTime(-0.5), COleDateTime(0.5)) << "the same noon";
    COleDateTime null;
    null.SetStatus(COleDateTime::null);
    EXPECT_TRUE(null.Format().IsEmpty());
    EXPECT_FALSE(COleDateTime(2026, 1, 2, 3, 4, 5).Format().IsEmpty());
}

TEST(GdiObjects, OwnedHandlesAreDeletedTemporariesAreNot) {
    HGDIOBJ owned;
    {
        CFont font;
        ASSERT_TRUE(font.CreatePointFont(100, L"Arial"));
        EXPECT_FALSE(font.CreatePointFont(120, L"Arial")) << "already holds a font";
        owned = font.m_hObject;
        LOGFONTW lf{};
        EXPECT_EQ(font.GetLogFont(&lf), static_cast<int>(sizeof lf));
        HDC screen = GetDC(nullptr);
        EXPECT_EQ(lf.lfHeight, -MulDiv(GetDeviceCaps(screen, LOGPIXELSY), 10, 72));
        ReleaseDC(nullptr, screen);
        EXPECT_STREQ(lf.lfFaceName, L"Arial");
        EXPECT_EQ(GetObjectType(owned), static_cast<DWORD>(OBJ_FONT));
    }
    EXPECT_EQ(GetObjectType(owned), 0u) << "the object deleted its font";

    HFONT foreign = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                                L"Arial");
    CFont* temp = CFont::FromHandle(foreign);
    EXPECT_EQ(CFont::FromHandle(foreign), temp) << "one temporary per handle";
    EXPECT_EQ(static_cast<HFONT>(*temp), foreign);
    CGdiObject* plain = CGdiObject::FromHandle(foreign);
    EXPECT_EQ(plain->m_hObject, foreign);
    AfxUnlockTempMaps();
    EXPECT_EQ(GetObjectType(foreign), static_cast<DWORD>(OBJ_FONT)) << "temporaries never delete";

    CFont attached;
    EXPECT_TRUE(attached.Attach(foreign));
    EXPECT_FALSE(attached.Attach(foreign));
    EXPECT_EQ(attached.Detach(), foreign);
    EXPECT_FALSE(attached.DeleteObject());
    DeleteObject(foreign);
}

// Drawing through the wrappers lands in the bitmap, and a long loop of
// every kind of DC and object ends with nothing left behind: a leak would
// exhaust the process's GDI handles long before the loop ends.
TEST(GdiObjects, DrawingAndReleasingEveryKindOfDc) {
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"dc", WS_POPUP | WS_VISIBLE, 0, 0, 40, 30, nullptr,
                             nullptr));
    for (int i = 0; i < 20000; i++) {
        CClientDC client(&wnd);
        ASSERT_NE(client.m_hDC, nullptr) << "iteration " << i;
        CDC memory;
        ASSERT_TRUE(memory.CreateCompatibleDC(&client)) << "iteration " << i;
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&client, 8, 8)) << "iteration " << i;
        CBitmap* oldBitmap = memory.SelectObject(&bitmap);
        CBrush brush(RGB(10, 200, 30));
        CPen pen(PS_SOLID, 1, RGB(200, 0, 0));
        CPen* oldPen = memory.SelectObject(&pen);
        RECT all{0, 0, 8, 8};
        memory.FillRect(&all, &brush);
        memory.MoveTo(0, 7);
        memory.LineTo(8, 7);
        if (i == 0) {
            EXPECT_EQ(memory.GetPixel(3, 3), RGB(10, 200, 30));
            EXPECT_EQ(memory.GetPixel(3, 7), RGB(200, 0, 0));
            EXPECT_EQ(oldPen->m_hObject, GetStockObject(BLACK_PEN)) << "the DC's own pen";
            memory.Draw3dRect(&all, RGB(255, 255, 255), RGB(0, 0, 0));
            EXPECT_EQ(memory.GetPixel(0, 0), RGB(255, 255, 255));
            EXPECT_EQ(memory.GetPixel(7, 0), RGB(0, 0, 0));
            EXPECT_EQ(memory.GetPixel(0, 7), RGB(0, 0, 0));
            EXPECT_EQ(bitmap.GetBitmapDimension(), CSize(8, 8));
        }
        memory.SelectObject(oldPen);
        memory.SelectObject(oldBitmap);
        CWindowDC window(&wnd);
        ASSERT_NE(window.m_hDC, nullptr) << "iteration " << i;
        if (i % 1000 == 0) AfxUnlockTempMaps();
    }
    wnd.DestroyWindow();
}

} // namespace
