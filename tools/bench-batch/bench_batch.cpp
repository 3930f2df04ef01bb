// Peak memory of the command-line import over a batch: quorla.exe runs the
// same file 1, 100 and 1,000 times in one call (each copy its own output
// folder, as a batch of that many files), and the peak working set of each
// run is read from the process as it runs (GetProcessMemoryInfo on its
// handle). Prints the figures and their ratio to the single file; a batch
// that keeps nothing per file stays within a few per cent of it. Never part
// of a test run. Under Wine, from the build folder:
//   build/windows/wine-run build/windows/bin/bench_batch.exe [FILE.3dm [N ...]]
// Default file: the real sample V2__v2_Flow3.3dm (two meshes, 11,608 faces).
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::wstring Folder(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::wstring Self() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, n < MAX_PATH ? n : 0);
}

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}

struct Run {
    bool started = false;
    DWORD exit = 0;
    double seconds = 0, peakMB = 0;
};

// quorla.exe import of `copies` times f.3dm in `work`, output thrown away.
Run Import(const std::wstring& quorla, const std::wstring& work, int copies) {
    Run run;
    std::wstring command = L"\"" + quorla + L"\" import --no-progress --out out";
    for (int i = 0; i < copies; i++)
        command += L" f.3dm";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi{};
    const auto start = std::chrono::steady_clock::now();
    run.started = CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                 nullptr, work.c_str(), &si, &pi) != 0;
    CloseHandle(nul);
    if (!run.started) return run;
    // Under Wine the counters of a process are gone once it has ended: the
    // peak, which only grows, is read while it runs, every few milliseconds.
    SIZE_T peak = 0;
    do {
        PROCESS_MEMORY_COUNTERS pmc{};
        if (GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof pmc) && pmc.PeakWorkingSetSize > peak)
            peak = pmc.PeakWorkingSetSize;
    } while (WaitForSingleObject(pi.hProcess, 5) == WAIT_TIMEOUT);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    GetExitCodeProcess(pi.hProcess, &run.exit);
    run.peakMB = static_cast<double>(peak) / (1024.0 * 1024.0);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return run;
}

} // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::wstring bin = Folder(Self());
    const std::string fallback = "Z:" QUORLA_SHARED_DIR "/fixtures/real/V2__v2_Flow3.3dm";
    const std::wstring file = argc > 1 ? argv[1] : std::wstring(fallback.begin(), fallback.end());
    std::vector<int> counts;
    for (int i = 2; i < argc; i++)
        counts.push_back(_wtoi(argv[i]));
    if (counts.empty()) counts = {1, 100, 1000};
    LocalFree(argv);

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring work =
        std::wstring(temp) + L"quorla-bench-batch-" + std::to_wstring(GetCurrentProcessId());
    RemoveTree(work);
    CreateDirectoryW(work.c_str(), nullptr);
    if (!CopyFileW(file.c_str(), (work + L"\\f.3dm").c_str(), FALSE)) {
        std::fwprintf(stderr, L"bench_batch: cannot read %ls\n", file.c_str());
        return 1;
    }
    std::wprintf(L"quorla import, N copies of %ls in one call (peak working set of the process)\n",
                 file.c_str());
    std::printf("%8s %6s %10s %12s %10s\n", "files", "exit", "seconds", "peak MB", "vs 1 file");
    double single = 0;
    for (int n : counts) {
        const Run r = Import(bin + L"quorla.exe", work, n);
        RemoveTree(work + L"\\out");
        if (!r.started) {
            std::printf("%8d  quorla.exe did not start\n", n);
            return 1;
        }
        if (single == 0) single = r.peakMB;
        std::printf("%8d %6lu %10.2f %12.1f %10.3f\n", n, r.exit, r.seconds, r.peakMB,
                    single > 0 ? r.peakMB / single : 0.0);
        std::fflush(stdout);
    }
    RemoveTree(work);
    return 0;
}
