// TMXProgress's console presentation: what it writes to standard error for a
// sequence of updates. Standard error is a file here, so the bytes can be
// read back; the line is 79 columns at most, as for an 80-column console.
#include <TMXProgress.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ConsoleProgress : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t folder[MAX_PATH], name[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        GetTempFileNameW(folder, L"qpc", 0, name);
        path_ = name;
        file_ = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
        ASSERT_NE(file_, INVALID_HANDLE_VALUE);
        saved_ = GetStdHandle(STD_ERROR_HANDLE);
        SetStdHandle(STD_ERROR_HANDLE, file_);
        TMXProgress::SetPresentation(TMXProgress::PresentConsole);
    }
    void TearDown() override {
        SetStdHandle(STD_ERROR_HANDLE, saved_);
        TMXProgress::SetPresentation(TMXProgress::PresentWindow);
        CloseHandle(file_);
        DeleteFileW(path_.c_str());
    }

    // Everything written since the last call.
    std::string Take() {
        LARGE_INTEGER size;
        GetFileSizeEx(file_, &size);
        std::string all(static_cast<size_t>(size.QuadPart), '\0');
        LARGE_INTEGER zero{};
        SetFilePointerEx(file_, zero, nullptr, FILE_BEGIN);
        DWORD read = 0;
        if (!all.empty()) ReadFile(file_, &all[0], static_cast<DWORD>(all.size()), &read, nullptr);
        SetFilePointerEx(file_, zero, nullptr, FILE_END);
        std::string fresh = all.substr(taken_);
        taken_ = all.size();
        return fresh;
    }

    static std::string Line(const std::string& title, int percent, const std::string& status = "") {
        int filled = percent < 0 ? 0 : percent > 100 ? 24 : percent * 24 / 100;
        std::string p = std::to_string(percent);
        std::string line = title + " [" + std::string(static_cast<size_t>(filled), '#') +
                           std::string(static_cast<size_t>(24 - filled), '-') + "] " +
                           std::string(p.size() < 3 ? 3 - p.size() : 0, ' ') + p + " %";
        if (!status.empty()) line += "  " + status;
        return line;
    }

    std::wstring path_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE saved_ = nullptr;
    size_t taken_ = 0;
};

TEST_F(ConsoleProgress, StepsRedrawTheLineInPlaceAndTheEndWipesIt) {
    TMXProgress progress(L"Creating curves", CString(), 0.0, 100.0, nullptr);
    progress.SetMax(4.0);
    progress.StartProgress();
    EXPECT_EQ(Take(), "\r" + Line("Creating curves", 0));
    const int expected[4] = {25, 50, 75, 100};
    for (int percent : expected) {
        progress.StepIt(1.0);
        EXPECT_EQ(Take(), "\r" + Line("Creating curves", percent)) << "after reaching " << percent;
    }
    progress.EndProgress();
    const size_t width = Line("Creating curves", 100).size();
    EXPECT_EQ(Take(), "\r" + std::string(width, ' ') + "\r");
    progress.EndProgress();
    EXPECT_EQ(Take(), "") << "a second end writes nothing";
}

TEST_F(ConsoleProgress, UpdatesThatChangeNothingShownWriteNothing) {
    TMXProgress progress(L"Creating mesh", CString(), 0.0, 1000.0, nullptr);
    progress.StartProgress();
    Take();
    for (int i = 0; i < 9; i++)
        progress.StepIt(1.0); // 0.9 %: still 0
    EXPECT_EQ(Take(), "");
    progress.StepIt(1.0);
    EXPECT_EQ(Take(), "\r" + Line("Creating mesh", 1));
    progress.SetCurrent(10.5);
    progress.SetTitle(L"Creating mesh");
    progress.SetStatus(CString());
    EXPECT_EQ(Take(), "") << "same percentage, same title, still no status";
    progress.EndProgress();
}

TEST_F(ConsoleProgress, StatusTextFollowsThePercentageAndAShorterLineBlanksTheRest) {
    TMXProgress progress(L"Creating solid", CString(), 0.0, 2.0, nullptr);
    progress.StartProgress();
    progress.StepIt(2.0);
    Take();
    progress.SetStatus(L"Creating body from surfaces.");
    const std::string withStatus = Line("Creating solid", 100, "Creating body from surfaces.");
    EXPECT_EQ(Take(), "\r" + withStatus);
    // The line shows the percentage anyway: clearing the status shortens it at once.
    progress.SetStatus(CString());
    const std::string full = Line("Creating solid", 100);
    EXPECT_EQ(Take(), "\r" + full + std::string(withStatus.size() - full.size(), ' '));
    progress.SetCurrent(1.0);
    const std::string plain = Line("Creating solid", 50);
    EXPECT_EQ(Take(), "\r" + plain);
    progress.SetTitle(L"Other");
    EXPECT_EQ(Take(),
              "\r" + Line("Other", 50) + std::string(plain.size() - Line("Other", 50).size(), ' '));
    progress.EndProgress();
}

TEST_F(ConsoleProgress, LongLinesAreCutToTheWidthAndOddRangesStillDraw) {
    TMXProgress progress(L"Creating points", CString(), 0.0, 0.0, nullptr);
    progress.StartProgress(); // an empty range is done at once
    EXPECT_EQ(Take(), "\r" + Line("Creating points", 100));
    progress.SetStatus(CString(std::wstring(200, L'x').c_str()));
    std::string line = Take();
    EXPECT_EQ(line.size(), 1u + 79u);
    EXPECT_EQ(line, ("\r" + Line("Creating points", 100, std::string(200, 'x'))).substr(0, 80));
    progress.SetStatus(CString());
    Take();
    progress.SetMax(10.0);
    progress.SetCurrent(11.0); // past the maximum: a full bar, the raw number
    EXPECT_EQ(Take(), "\r" + Line("Creating points", 110));
    progress.EndProgress();
}

TEST_F(ConsoleProgress, DestroyingAnOpenProgressWipesTheLine) {
    {
        TMXProgress progress;
        progress.StartProgress();
        EXPECT_EQ(Take(), "\r" + Line("Progress", 0));
    }
    EXPECT_EQ(Take(), "\r" + std::string(Line("Progress", 0).size(), ' ') + "\r");
}

TEST_F(ConsoleProgress, PresentationIsChosenAtStartAndNoneShowsNothingAnywhere) {
    TMXProgress progress(L"Creating points", CString(), 0.0, 2.0, nullptr);
    TMXProgress::SetPresentation(TMXProgress::PresentNone);
    progress.StartProgress();
    progress.StepIt(1.0);
    progress.SetStatus(L"status");
    EXPECT_EQ(progress.GetCurrent(), 1.0);
    progress.EndProgress();
    EXPECT_EQ(Take(), "");
    EXPECT_EQ(FindWindowW(L"#32770", L"Creating points"), nullptr) << "no window either";

    TMXProgress::SetPresentation(7); // not a presentation: ignored
    EXPECT_EQ(TMXProgress::GetPresentation(), TMXProgress::PresentNone);
    TMXProgress::SetPresentation(TMXProgress::PresentConsole);
    progress.StartProgress(); // the same object, now on the console
    EXPECT_EQ(Take(), "\r" + Line("Creating points", 0, "status"));
    progress.EndProgress();
}

} // namespace
