// Reads .3dm files with TMXFileReader and prints, per run, the best wall time
// over the repeats and the process's peak memory before and after reading.
// The script beside it runs this natively and under Wine, and the rhino3dm
// reader under Node, on the same files, and prints the ratios.
//
//   bench_reader [--repeat N] FILE...     one line per file, then a total line
#include "TMXFile.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
static double PeakMB() {
    PROCESS_MEMORY_COUNTERS pmc;
    std::memset(&pmc, 0, sizeof pmc);
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    return static_cast<double>(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0);
}
#else
#include <sys/resource.h>
static double PeakMB() {
    rusage ru;
    getrusage(RUSAGE_SELF, &ru);
    return static_cast<double>(ru.ru_maxrss) / 1024.0; // kilobytes on Linux
}
#endif

int main(int argc, char** argv) {
    int repeat = 1;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc)
            repeat = std::atoi(argv[++i]);
        else
            files.push_back(argv[i]);
    }
    if (files.empty()) {
        std::fprintf(stderr, "usage: bench_reader [--repeat N] FILE...\n");
        return 2;
    }
    const double baseMB = PeakMB();
    double totalSeconds = 0, totalBytes = 0;
    int failures = 0;
    for (const auto& f : files) {
        double best = 1e300;
        long objects = 0;
        double bytes = 0;
        for (int r = 0; r < (repeat > 0 ? repeat : 1); ++r) {
            ON_3dPointArray points;
            ON_ClassArray<ON_NurbsCurve> curves;
            ON_ClassArray<ON_Brep> breps;
            ON_ClassArray<ON_Mesh> meshes;
            TMXFileReader reader;
            const auto t0 = std::chrono::steady_clock::now();
            const int ok = reader.ReadFile(f, points, curves, breps, meshes);
            const auto t1 = std::chrono::steady_clock::now();
            if (!ok) {
                std::printf("FAILED %s: %s\n", f.c_str(), reader.GetError().c_str());
                ++failures;
                break;
            }
            const double s = std::chrono::duration<double>(t1 - t0).count();
            if (s < best) best = s;
            objects = points.Count() + curves.Count() + breps.Count() + meshes.Count();
            if (std::FILE* fp = std::fopen(f.c_str(), "rb")) {
                std::fseek(fp, 0, SEEK_END);
                bytes = static_cast<double>(std::ftell(fp));
                std::fclose(fp);
            }
        }
        if (best < 1e300) {
            std::printf("file %s seconds %.6f bytes %.0f items %ld\n", f.c_str(), best, bytes,
                        objects);
            totalSeconds += best;
            totalBytes += bytes;
        }
    }
    std::printf("total seconds %.6f bytes %.0f files %zu failed %d peak_mb %.1f base_mb %.1f\n",
                totalSeconds, totalBytes, files.size(), failures, PeakMB(), baseMB);
    return failures ? 1 : 0;
}
