// CCmdTarget's COM side: reference count, interface maps, event routing.
#include <framework.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// {6F2C1E0A-3B7D-4E59-9A41-0C8B2D7E5F13}
constexpr IID IID_ITestPart = {
    0x6f2c1e0a, 0x3b7d, 0x4e59, {0x9a, 0x41, 0x0c, 0x8b, 0x2d, 0x7e, 0x5f, 0x13}};

// An interface part that forwards IUnknown to its owner, as sinks do.
class Part : public IUnknown {
public:
    CCmdTarget* owner = nullptr;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        return owner->ExternalQueryInterface(&iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return owner->ExternalAddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return owner->ExternalRelease(); }
};

struct Call {
    DISPID id;
    std::wstring text;
    IDispatch* object;
    long value;
};

class BaseTarget : public CCmdTarget {
public:
    BaseTarget() { first.owner = this; }
    std::vector<Call> calls;
    int* finalReleases = nullptr;
    Part first;
    BOOL answer = FALSE;

protected:
    BOOL OnText(BSTR text) {
        calls.push_back({1, text ? text : L"(null)", nullptr, 0});
        return answer;
    }
    BOOL OnObjectLong(IDispatch* object, long value) {
        calls.push_back({2, L"", object, value});
        return answer;
    }
    BOOL OnNothing() {
        calls.push_back({3, L"", nullptr, 0});
        return answer;
    }
    void OnFinalRelease() override {
        if (finalReleases) ++*finalReleases;
        CCmdTarget::OnFinalRelease();
    }

    DECLARE_INTERFACE_MAP()
    DECLARE_EVENT_MAP()
};

BEGIN_INTERFACE_MAP(BaseTarget, CCmdTarget)
INTERFACE_PART(IID_ITestPart, first)
END_INTERFACE_MAP()

BEGIN_EVENT_MAP(BaseTarget, CCmdTarget)
ON_EVENT(1, OnText)
ON_EVENT(2, OnObjectLong)
ON_EVENT(3, OnNothing)
END_EVENT_MAP()

// Overrides id 3, adds id 5 and an interface; ids 1 and 2 come from the base.
class DerivedTarget : public BaseTarget {
public:
    DerivedTarget() { second.owner = this; }
    Part second;
    bool destroyOnEvent5 = false;
    bool* destroyed = nullptr;
    ~DerivedTarget() override {
        if (destroyed) *destroyed = true;
    }

protected:
    BOOL OnNothingDerived() {
        calls.push_back({-3, L"", nullptr, 0});
        return TRUE;
    }
    BOOL OnFive() {
        if (destroyOnEvent5) {
            delete this;
            return TRUE;
        }
        calls.push_back({5, L"", nullptr, 0});
        return FALSE;
    }

    DECLARE_INTERFACE_MAP()
    DECLARE_EVENT_MAP()
};

BEGIN_INTERFACE_MAP(DerivedTarget, BaseTarget)
INTERFACE_PART(IID_IDispatch, second)
END_INTERFACE_MAP()

BEGIN_EVENT_MAP(DerivedTarget, BaseTarget)
ON_EVENT(3, OnNothingDerived)
ON_EVENT(5, OnFive)
END_EVENT_MAP()

VARIANT Bstr(const wchar_t* s) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(s);
    return v;
}
VARIANT I4(long n) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = n;
    return v;
}

// Holds the caller's arguments as COM lists them: last to first.
struct Args {
    std::vector<VARIANT> v;
    explicit Args(std::vector<VARIANT> lastToFirst) : v(std::move(lastToFirst)) {}
    ~Args() {
        for (VARIANT& x : v)
            VariantClear(&x);
    }
    DISPPARAMS params() { return {v.empty() ? nullptr : v.data(), nullptr, UINT(v.size()), 0}; }
};

} // namespace

TEST(CmdTargetRefCount, StartsAtOneAndTheLastReleaseDeletes) {
    int finals = 0;
    bool destroyed = false;
    auto* t = new DerivedTarget;
    t->finalReleases = &finals;
    t->destroyed = &destroyed;
    EXPECT_EQ(t->m_dwRef, 1);
    EXPECT_EQ(t->ExternalAddRef(), 2);
    EXPECT_EQ(t->ExternalRelease(), 1);
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(t->ExternalRelease(), 0);
    EXPECT_EQ(finals, 1);
    EXPECT_TRUE(destroyed);
}

TEST(CmdTargetInterfaces, TheMapsAnswerFromDerivedToBase) {
    int finals = 0;
    DerivedTarget t;
    t.finalReleases = &finals;
    void* p = nullptr;
    ASSERT_EQ(t.ExternalQueryInterface(&IID_IDispatch, &p), S_OK);
    EXPECT_EQ(p, static_cast<IUnknown*>(&t.second));
    ASSERT_EQ(t.ExternalQueryInterface(&IID_ITestPart, &p), S_OK) << "the base class's map";
    EXPECT_EQ(p, static_cast<IUnknown*>(&t.first));
    ASSERT_EQ(t.ExternalQueryInterface(&IID_IUnknown, &p), S_OK);
    EXPECT_EQ(p, static_cast<IUnknown*>(&t.second))
        << "IUnknown: the most derived map's first part";
    EXPECT_EQ(t.m_dwRef, 4) << "each interface found takes a reference";

    p = &t;
    EXPECT_EQ(t.ExternalQueryInterface(&IID_IClassFactory, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(t.ExternalQueryInterface(&IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(t.m_dwRef, 4);

    // Through a part, as a client sees it.
    IUnknown* unk = nullptr;
    ASSERT_EQ(t.first.QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&unk)), S_OK);
    EXPECT_EQ(unk->Release(), 4u);
    for (int i = 0; i < 3; ++i)
        t.ExternalRelease();
    EXPECT_EQ(t.m_dwRef, 1);
    EXPECT_EQ(finals, 0);

    CCmdTarget plain;
    EXPECT_EQ(plain.ExternalQueryInterface(&IID_IUnknown, &p), E_NOINTERFACE)
        << "a class without an interface map answers nothing";
}

TEST(CmdTargetEvents, ArgumentsArriveFirstToLastInTheHandlersTypes) {
    DerivedTarget t;
    t.answer = TRUE;
    IDispatch* object = reinterpret_cast<IDispatch*>(&t.second);
    t.ExternalAddRef(); // the variant below holds one reference
    VARIANT obj;
    VariantInit(&obj);
    obj.vt = VT_DISPATCH;
    obj.pdispVal = object;
    Args two({I4(42), obj}); // object first, long second for the handler
    DISPPARAMS p2 = two.params();
    BOOL result = FALSE;
    UINT argErr = 99;
    ASSERT_EQ(t.DispatchEvent(2, &p2, &result, &argErr), S_OK);
    EXPECT_TRUE(result);
    ASSERT_EQ(t.calls.size(), 1u);
    EXPECT_EQ(t.calls[0].object, object);
    EXPECT_EQ(t.calls[0].value, 42);
    EXPECT_EQ(argErr, 99u) << "argErr is only written on a type mismatch";
    EXPECT_EQ(t.m_dwRef, 2) << "the converted copy of the object was released";

    Args one({Bstr(L"Part1.sldprt")});
    DISPPARAMS p1 = one.params();
    ASSERT_EQ(t.DispatchEvent(1, &p1, &result, nullptr), S_OK);
    EXPECT_EQ(t.calls.back().text, L"Part1.sldprt");
}

TEST(CmdTargetEvents, CompatibleTypesAreCoerced) {
    struct Case {
        const char* what;
        VARIANT arg;
        bool fits;
        long value;
    };
    VARIANT i2;
    VariantInit(&i2);
    i2.vt = VT_I2;
    i2.iVal = -7;
    VARIANT r8;
    VariantInit(&r8);
    r8.vt = VT_R8;
    r8.dblVal = 12.0;
    long byRefValue = 31;
    VARIANT byRef;
    VariantInit(&byRef);
    byRef.vt = VT_I4 | VT_BYREF;
    byRef.plVal = &byRefValue;
    std::vector<Case> cases = {{"VT_I2", i2, true, -7},
                               {"VT_R8", r8, true, 12},
                               {"VT_I4 by reference", byRef, true, 31},
                               {"decimal text", Bstr(L"123"), true, 123},
                               {"non-numeric text", Bstr(L"twelve"), false, 0}};
    for (Case& c : cases) {
        DerivedTarget t;
        VARIANT nullObject;
        VariantInit(&nullObject);
        nullObject.vt = VT_DISPATCH;
        nullObject.pdispVal = nullptr;
        Args args({c.arg, nullObject}); // the long is the last argument, so rgvarg[0]
        DISPPARAMS p = args.params();
        UINT argErr = 99;
        BOOL result = TRUE;
        HRESULT hr = t.DispatchEvent(2, &p, &result, &argErr);
        if (c.fits) {
            EXPECT_EQ(hr, S_OK) << c.what;
            ASSERT_EQ(t.calls.size(), 1u) << c.what;
            EXPECT_EQ(t.calls[0].value, c.value) << c.what;
        } else {
            EXPECT_EQ(hr, DISP_E_TYPEMISMATCH) << c.what;
            EXPECT_EQ(argErr, 0u) << c.what << ": the index in rgvarg of the long";
            EXPECT_TRUE(t.calls.empty()) << c.what;
            EXPECT_FALSE(result) << c.what;
        }
    }
}

TEST(CmdTargetEvents, RoutingStatuses) {
    DerivedTarget t;
    BOOL result = TRUE;
    UINT argErr = 99;

    // No handler for the id.
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(t.DispatchEvent(4, &none, &result, &argErr), DISP_E_MEMBERNOTFOUND);
    EXPECT_FALSE(result);

    // Too few and too many arguments.
    Args oneLong({I4(1)});
    DISPPARAMS p = oneLong.params();
    EXPECT_EQ(t.DispatchEvent(2, &p, &result, &argErr), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(t.DispatchEvent(5, &p, &result, &argErr), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(t.DispatchEvent(1, &none, &result, &argErr), DISP_E_BADPARAMCOUNT);

    // A text where the object belongs: the object is argument 1 in rgvarg.
    Args wrong({I4(1), Bstr(L"not an object")});
    p = wrong.params();
    EXPECT_EQ(t.DispatchEvent(2, &p, &result, &argErr), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 1u);

    // Named arguments are not taken.
    DISPID named = 0;
    Args text({Bstr(L"x")});
    p = text.params();
    p.cNamedArgs = 1;
    p.rgdispidNamedArgs = &named;
    EXPECT_EQ(t.DispatchEvent(1, &p, &result, &argErr), DISP_E_NONAMEDARGS);

    EXPECT_TRUE(t.calls.empty()) << "no handler ran";

    // Null parameters mean no arguments.
    EXPECT_EQ(t.DispatchEvent(5, nullptr, &result, nullptr), S_OK);
    EXPECT_FALSE(result);
    EXPECT_EQ(t.calls.back().id, 5);
}

TEST(CmdTargetEvents, TheDerivedMapWinsAndTheHandlerMayDestroyTheObject) {
    auto* t = new DerivedTarget;
    bool destroyed = false;
    t->destroyed = &destroyed;
    BOOL result = FALSE;
    ASSERT_EQ(t->DispatchEvent(3, nullptr, &result, nullptr), S_OK);
    ASSERT_EQ(t->calls.size(), 1u);
    EXPECT_EQ(t->calls[0].id, -3) << "the derived class's handler for id 3";
    EXPECT_TRUE(result);

    t->destroyOnEvent5 = true;
    result = FALSE;
    EXPECT_EQ(t->DispatchEvent(5, nullptr, &result, nullptr), S_OK);
    EXPECT_TRUE(destroyed);
    EXPECT_TRUE(result);
}

TEST(PtrList, AddFindRemoveInOrder) {
    CPtrList list(3); // small blocks: several allocations and reuse below
    int items[8];
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetHead(), nullptr);
    EXPECT_EQ(list.RemoveHead(), nullptr) << "an empty list gives null and stays sound";
    for (int& i : items)
        list.AddTail(&i);
    ASSERT_EQ(list.GetCount(), 8);
    EXPECT_EQ(list.GetHead(), &items[0]);
    EXPECT_EQ(list.GetTail(), &items[7]);

    // Remove from the middle, by position found by value.
    POSITION pos = list.Find(&items[3]);
    ASSERT_NE(pos, nullptr);
    list.RemoveAt(pos);
    EXPECT_EQ(list.Find(&items[3]), nullptr);
    EXPECT_EQ(list.GetCount(), 7);

    std::vector<int*> seen;
    for (POSITION p = list.GetHeadPosition(); p;)
        seen.push_back(static_cast<int*>(list.GetNext(p)));
    std::vector<int*> expected = {&items[0], &items[1], &items[2], &items[4],
                                  &items[5], &items[6], &items[7]};
    EXPECT_EQ(seen, expected);

    seen.clear();
    for (POSITION p = list.GetTailPosition(); p;)
        seen.push_back(static_cast<int*>(list.GetPrev(p)));
    EXPECT_EQ(seen, std::vector<int*>(expected.rbegin(), expected.rend()));

    EXPECT_EQ(list.GetAt(list.FindIndex(3)), &items[4]);
    EXPECT_EQ(list.FindIndex(7), nullptr);
    EXPECT_EQ(list.FindIndex(-1), nullptr);

    list.InsertBefore(list.GetHeadPosition(), &items[3]);
    list.InsertAfter(list.GetTailPosition(), &items[3]);
    EXPECT_EQ(list.GetHead(), &items[3]);
    EXPECT_EQ(list.GetTail(), &items[3]);
    POSITION firstDup = list.Find(&items[3]);
    EXPECT_EQ(firstDup, list.GetHeadPosition());
    EXPECT_EQ(list.Find(&items[3], firstDup), list.GetTailPosition()) << "search after a position";

    // Draining the list from the head, then reusing it.
    INT_PTR count = list.GetCount();
    for (INT_PTR i = 0; i < count; ++i)
        EXPECT_NE(list.RemoveHead(), nullptr);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
    EXPECT_EQ(list.GetTailPosition(), nullptr);
    list.AddHead(&items[1]);
    list.AddHead(&items[0]);
    EXPECT_EQ(list.RemoveTail(), &items[1]);
    EXPECT_EQ(list.RemoveTail(), &items[0]);
    EXPECT_EQ(list.RemoveTail(), nullptr);
}
