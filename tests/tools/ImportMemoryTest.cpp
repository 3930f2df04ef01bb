// Running out of memory in the add-in: QuorlaAllocTest.dll (Quorla.dll with a
// counting allocator) is told to refuse one allocation at points spread over
// a whole import. Every run ends with the memory message and 0, nothing is
// thrown, the host's references are back and no progress window is left.
#include "CadHost.h"
#include "QuorlaExports.h"

#include <TMXProgress.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using FailAllocationFn = long long (*)(long long after);
using AllocationCountFn = long long (*)(long long* failures);

struct Messages {
    std::vector<std::wstring> errors, warnings;
    static void Take(void* context, int severity, const wchar_t*, const wchar_t* text) {
        auto* self = static_cast<Messages*>(context);
        (severity == 0 ? self->errors : self->warnings).push_back(text);
    }
};

BOOL CALLBACK CountVisible(HWND hwnd, LPARAM count) {
    if (IsWindowVisible(hwnd)) ++*reinterpret_cast<int*>(count);
    return TRUE;
}

class ImportMemory : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryW(L"QuorlaAllocTest.dll");
        ASSERT_NE(module_, nullptr);
        init_ = Export<QuorlaInitUserDLL3Fn>(QUORLA_INIT_EXPORT);
        import_ = Export<QuorlaImportFn>(QUORLA_IMPORT_EXPORT);
        fail_ = Export<FailAllocationFn>("QuorlaFailAllocation");
        count_ = Export<AllocationCountFn>("QuorlaAllocationCount");
        ASSERT_TRUE(init_ && import_ && fail_ && count_);
        baseline_ = host_.OutstandingRefs();
    }
    void TearDown() override {
        if (fail_) fail_(0);
        if (module_) FreeLibrary(module_);
    }
    template <class Fn> Fn Export(const char* name) {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }
    long long Failures() {
        long long failures = 0;
        count_(&failures);
        return failures;
    }
    int Import(QuorlaImportResult& result, Messages& messages) {
        const std::string file = QUORLA_SOURCE_DIR "/examples/bracket.3dm";
        const std::wstring path = L"Z:" + std::wstring(file.begin(), file.end());
        QuorlaImportOptions options{0, 0, 1, 3, 1, 1}; // with the progress window
        QuorlaImportCallbacks callbacks{&messages, &Messages::Take, nullptr};
        return import_(path.c_str(), &options, &callbacks, &result);
    }
    int VisibleWindows() {
        int count = 0;
        EnumThreadWindows(GetCurrentThreadId(), CountVisible, reinterpret_cast<LPARAM>(&count));
        return count;
    }

    cadhost::Host host_; // outlives the add-in
    HMODULE module_ = nullptr;
    QuorlaInitUserDLL3Fn init_ = nullptr;
    QuorlaImportFn import_ = nullptr;
    FailAllocationFn fail_ = nullptr;
    AllocationCountFn count_ = nullptr;
    long baseline_ = 0;
};

TEST_F(ImportMemory, StartingUpWithoutMemoryGivesBackTheHost) {
    const long long before = count_(nullptr);
    ASSERT_EQ(init_(host_.Application()), 1);
    const long long needed = count_(nullptr) - before;
    ASSERT_GT(needed, 0) << "the add-in object and its event sink";
    FreeLibrary(module_); // shuts the add-in down
    module_ = nullptr;
    for (long long k = 1; k <= needed; k++) {
        SCOPED_TRACE(k);
        module_ = LoadLibraryW(L"QuorlaAllocTest.dll");
        ASSERT_NE(module_, nullptr);
        fail_ = Export<FailAllocationFn>("QuorlaFailAllocation");
        fail_(k);
        EXPECT_EQ(Export<QuorlaInitUserDLL3Fn>(QUORLA_INIT_EXPORT)(host_.Application()), 0);
        EXPECT_EQ(host_.OutstandingRefs(), baseline_) << host_.Unreleased();
        FreeLibrary(module_);
        module_ = nullptr;
    }
    fail_ = nullptr;
}

TEST_F(ImportMemory, EveryPointOfAnImportEndsWithTheMessageAndNothingHeld) {
    ASSERT_EQ(init_(host_.Application()), 1);
    const long refsAfterStart = host_.OutstandingRefs();
    const int windowsBefore = VisibleWindows();

    // Clean runs to learn how many allocations an import makes (the first
    // also makes what the module keeps).
    QuorlaImportResult result;
    Messages clean;
    ASSERT_EQ(Import(result, clean), 1);
    const long long start = count_(nullptr);
    ASSERT_EQ(Import(result, clean), 1);
    const long long total = count_(nullptr) - start;
    const int documentsPerRun = host_.DocumentCount() / 2;
    ASSERT_GT(total, 100);
    ASSERT_EQ(documentsPerRun, 2);

    // The first allocations, then points spread over the run up to its last.
    std::vector<long long> points = {1, 2, 3};
    for (int i = 1; i <= 40; i++)
        points.push_back(total * i / 41);
    points.push_back(total);
    int endedShort = 0;
    std::vector<int> steps(4);
    for (long long k : points) {
        SCOPED_TRACE("allocation " + std::to_string(k) + " of " + std::to_string(total));
        const int documentsBefore = host_.DocumentCount();
        const long long failuresBefore = Failures();
        Messages messages;
        fail_(k);
        const int ok = Import(result, messages);
        fail_(0);
        ASSERT_EQ(Failures(), failuresBefore + 1) << "the run reached the refused allocation";
        if (ok == 0) {
            ++endedShort;
            EXPECT_EQ(result.outOfMemory, 1);
            ASSERT_GE(result.failedStep, 1);
            ASSERT_LE(result.failedStep, 3);
            ++steps[result.failedStep];
            ASSERT_EQ(messages.errors.size(), 1u);
            EXPECT_EQ(messages.errors[0], L"Not enough memory to import bracket.3dm.");
        } else {
            EXPECT_EQ(result.outOfMemory, 0) << "a refusal the run could do without";
            EXPECT_TRUE(messages.errors.empty());
        }
        // What was built stays; nothing else is held.
        EXPECT_GE(host_.DocumentCount(), documentsBefore);
        EXPECT_LE(host_.DocumentCount(), documentsBefore + documentsPerRun);
        EXPECT_EQ(host_.OutstandingRefs(), refsAfterStart) << host_.Unreleased();
        EXPECT_EQ(VisibleWindows(), windowsBefore) << "the progress window is closed";
    }
    EXPECT_GT(endedShort, static_cast<int>(points.size()) / 2);
    EXPECT_GT(steps[1], 0) << "in the reader";
    EXPECT_GT(steps[2], 0) << "in the curves";
    EXPECT_GT(steps[3], 0) << "in the meshes";

    // Nothing of the failures stays behind: the next import is whole.
    Messages after;
    const int documents = host_.DocumentCount();
    EXPECT_EQ(Import(result, after), 1);
    EXPECT_EQ(host_.DocumentCount(), documents + documentsPerRun);
    EXPECT_EQ(host_.OutstandingRefs(), refsAfterStart);
}

} // namespace
