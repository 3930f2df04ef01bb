// Stands in for a help viewer in tests: writes its command line to the file
// that QUORLA_SHELL_RECORD names, then ends.
#include <windows.h>

#include <cstdio>

int main() {
    wchar_t target[MAX_PATH];
    if (!GetEnvironmentVariableW(L"QUORLA_SHELL_RECORD", target, MAX_PATH)) return 1;
    FILE* f = _wfopen(target, L"wb");
    if (!f) return 1;
    const wchar_t* line = GetCommandLineW();
    fwrite(line, sizeof(wchar_t), wcslen(line), f);
    fclose(f);
    return 0;
}
