// Converts the meshes of a .3dm file (the 1,000,000-triangle mesh) through
// the embedded host, journal off, as a solid body and as sketch lines, with
// progress off and on, side by side in one run. Prints the best time of each
// over the repeats and the share of time the progress windows take:
//   - measured: (time with progress - time without) / time with progress;
//   - direct: the same progress calls (window, SetMax, StartProgress, one
//     StepIt per face or edge, SetStatus, EndProgress) timed alone.
// Target: under 5 %. Run under Wine:
//   build/.../wine-run build/.../bin/bench_convert.exe [--repeat N] FILE.3dm
#include "CadHost.h"
#include "Convert.h"
#include "TMXFile.h"

#include <TMXProgress.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

double PeakMB() {
    PROCESS_MEMORY_COUNTERS pmc;
    std::memset(&pmc, 0, sizeof pmc);
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    return static_cast<double>(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

// One conversion into a fresh host: meshMode 0 solid, 1 sketch lines.
double Convert(const ON_ClassArray<ON_Mesh>& meshes, int meshMode, int progress, int* result,
               size_t* made) {
    cadhost::Host host;
    host.SetJournalEnabled(false);
    IDispatch* app = host.Application();
    const Clock::time_point t0 = Clock::now();
    *result = ConvertMeshes(app, meshes, 2, meshMode, 1, progress);
    const Clock::time_point t1 = Clock::now();
    const cadhost::DocumentModel& doc = host.Document(0);
    *made =
        meshMode == 0 ? (doc.bodies.empty() ? 0 : doc.bodies[0].faces.size()) : doc.entities.size();
    app->Release();
    return Seconds(t0, t1);
}

// The progress calls of one stage of `items` steps, alone.
double ProgressAlone(long items, bool status) {
    const Clock::time_point t0 = Clock::now();
    {
        TMXProgress window(CString(L"Creating solid"), CString(), 0.0, 100.0, nullptr);
        window.SetMax(static_cast<double>(items));
        window.StartProgress();
        for (long i = 0; i < items; i++)
            window.StepIt(1.0);
        if (status)
            window.SetStatus(
                CString(L"Creating body from surfaces. This may take several minutes..."));
        window.EndProgress();
    }
    return Seconds(t0, Clock::now());
}

} // namespace

int main(int argc, char** argv) {
    int repeat = 3;
    std::string file;
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc)
            repeat = std::max(1, std::atoi(argv[++i]));
        else
            file = argv[i];
    }
    if (file.empty()) {
        std::fprintf(stderr, "usage: bench_convert [--repeat N] FILE.3dm\n");
        return 2;
    }

    ON_3dPointArray points;
    ON_ClassArray<ON_NurbsCurve> curves;
    ON_ClassArray<ON_Brep> breps;
    ON_ClassArray<ON_Mesh> meshes;
    TMXFileReader reader;
    const Clock::time_point r0 = Clock::now();
    if (!reader.ReadFile(file, points, curves, breps, meshes) || meshes.Count() == 0) {
        std::fprintf(stderr, "cannot read meshes from %s: %s\n", file.c_str(),
                     reader.GetError().c_str());
        return 1;
    }
    const double readSeconds = Seconds(r0, Clock::now());
    long faces = 0;
    for (int i = 0; i < meshes.Count(); i++)
        faces += meshes[i].FaceCount();
    std::printf("file      %s\n", file.c_str());
    std::printf("meshes    %d, %ld faces, read in %.3f s\n", meshes.Count(), faces, readSeconds);
    std::printf("best of %d runs each; journal off\n\n", repeat);
    std::printf("%-14s %12s %12s %12s %10s %10s\n", "conversion", "items", "no progress",
                "progress", "measured", "direct");

    const char* names[2] = {"solid", "sketch lines"};
    bool ok = true;
    for (int mode = 0; mode < 2; mode++) {
        double best[2] = {1e300, 1e300};
        size_t made = 0;
        for (int r = 0; r < repeat; r++)
            for (int progress = 0; progress < 2; progress++) {
                int result = 0;
                const double s = Convert(meshes, mode, progress, &result, &made);
                best[progress] = std::min(best[progress], s);
                if (!result) ok = false;
            }
        double direct = 1e300;
        for (int r = 0; r < repeat; r++)
            direct = std::min(direct, ProgressAlone(static_cast<long>(made), mode == 0));
        const double measured = (best[1] - best[0]) / best[1];
        std::printf("%-14s %12zu %11.3fs %11.3fs %9.2f%% %9.2f%%\n", names[mode], made, best[0],
                    best[1], 100.0 * measured, 100.0 * direct / best[1]);
    }
    std::printf("\npeak memory %.0f MB\n", PeakMB());
    std::printf("share of time in progress windows: target under 5 %% "
                "(measured = difference of the runs, direct = the same calls alone)\n");
    if (!ok)
        std::printf("FAILED: a conversion returned 0: %ls\n",
                    static_cast<const wchar_t*>(GetLastConversionError()));
    return ok ? 0 : 1;
}
