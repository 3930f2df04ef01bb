#include "FileMap.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tmxfile {

#ifndef _WIN32

int FileMap::Open(const std::string& path, const std::string& name, std::string& error) {
    Close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = name + " cannot be opened: " + std::strerror(errno);
        return 0;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        error = name + " cannot be read: " + std::strerror(errno);
        ::close(fd);
        return 0;
    }
    if (!S_ISREG(st.st_mode)) {
        error = name + " cannot be read: it is not a file";
        ::close(fd);
        return 0;
    }
    const size_t size = static_cast<size_t>(st.st_size);
    if (size > 0) {
        // Read straight from the page cache, no copy.
        void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (map == MAP_FAILED) {
            error = name + " could not be read: " + std::strerror(errno);
            ::close(fd);
            return 0;
        }
        data_ = static_cast<const uint8_t*>(map);
        size_ = size;
    }
    ::close(fd);
    return 1;
}

void FileMap::Close() {
    if (data_) ::munmap(const_cast<uint8_t*>(data_), size_);
    data_ = nullptr;
    size_ = 0;
}

void FileMap::Release(void*, const unsigned char* p, size_t n) {
    const uintptr_t page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const uintptr_t from = (reinterpret_cast<uintptr_t>(p) + page - 1) & ~(page - 1);
    const uintptr_t to = (reinterpret_cast<uintptr_t>(p) + n) & ~(page - 1);
    if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
}

void AdviseFillOnce(void* p, size_t bytes) {
#ifdef __linux__
    // Huge pages spare the kernel a fault every 4 KB.
    if (bytes < (size_t{4} << 20)) return;
    const uintptr_t huge = uintptr_t{2} << 20;
    const uintptr_t from = (reinterpret_cast<uintptr_t>(p) + huge - 1) & ~(huge - 1);
    const uintptr_t to = (reinterpret_cast<uintptr_t>(p) + bytes) & ~(huge - 1);
    if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#else
    (void)p, (void)bytes;
#endif
}

#else // _WIN32

namespace {

// The error texts match those of the C library elsewhere.
std::string Reason(DWORD e) {
    switch (e) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return "No such file or directory";
    case ERROR_ACCESS_DENIED:
        return "Permission denied";
    case ERROR_SHARING_VIOLATION:
        return "another program has it open and does not share it";
    case ERROR_LOCK_VIOLATION:
        return "another program has locked it";
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
    case ERROR_COMMITMENT_LIMIT:
        return "there is not enough memory";
    default:
        return "system error " + std::to_string(e);
    }
}

} // namespace

int FileMap::Open(const std::string& path, const std::string& name, std::string& error) {
    // UTF-8 as the interface says; a path that is not UTF-8 is taken in the
    // ANSI code page, as the C library would.
    UINT cp = CP_UTF8;
    int n = MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, path.c_str(), -1, nullptr, 0);
    if (n <= 0) {
        cp = CP_ACP;
        n = MultiByteToWideChar(cp, 0, path.c_str(), -1, nullptr, 0);
    }
    if (n <= 0) {
        error = name + " cannot be opened: " + Reason(ERROR_INVALID_NAME);
        return 0;
    }
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(cp, cp == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0, path.c_str(), -1, &wide[0],
                        n);
    wide.resize(static_cast<size_t>(n - 1));
    return Open(wide, name, error);
}

int FileMap::Open(const std::wstring& path, const std::string& name, std::string& error) {
    Close();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = name + " cannot be read: it is not a file";
        return 0;
    }
    // Shared for reading and writing, as the C library opens files; a file
    // with a mapped view cannot be cut short by anyone.
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = name + " cannot be opened: " + Reason(GetLastError());
        return 0;
    }
    file_ = file;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        const DWORD e = GetLastError();
        Close();
        error = name + " cannot be read: " + Reason(e);
        return 0;
    }
    if (size.QuadPart == 0) return 1; // nothing to map: the reader says what is wrong
    if (static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX) {
        Close();
        error = name + " could not be read: " + Reason(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    // Pages of a view that another program has locked would fault when read:
    // a shared lock on the whole file refuses such a file up front and keeps
    // anyone from locking it while it is read. (A file system without locks
    // is read without one.)
    OVERLAPPED at = {};
    if (LockFileEx(file, LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &at)) {
        locked_ = true;
    } else {
        const DWORD e = GetLastError();
        if (e == ERROR_LOCK_VIOLATION || e == ERROR_IO_PENDING) {
            Close();
            error = name + " could not be read: " + Reason(ERROR_LOCK_VIOLATION);
            return 0;
        }
    }
    mapping_ = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    const void* view = mapping_ ? MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0) : nullptr;
    if (!view) {
        const DWORD e = GetLastError();
        Close();
        error = name + " could not be read: " + Reason(e);
        return 0;
    }
    data_ = static_cast<const uint8_t*>(view);
    size_ = static_cast<size_t>(size.QuadPart);
    return 1;
}

void FileMap::Close() {
    if (data_) UnmapViewOfFile(data_);
    if (mapping_) CloseHandle(mapping_);
    if (locked_) {
        OVERLAPPED at = {};
        UnlockFileEx(file_, 0, MAXDWORD, MAXDWORD, &at);
    }
    if (file_) CloseHandle(file_);
    data_ = nullptr;
    size_ = 0;
    mapping_ = file_ = nullptr;
    locked_ = false;
}

void FileMap::Release(void*, const unsigned char* p, size_t n) {
    // Unlocking pages that were never locked takes them out of the working
    // set; they stay in the file's cache.
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    const uintptr_t page = si.dwPageSize;
    const uintptr_t from = (reinterpret_cast<uintptr_t>(p) + page - 1) & ~(page - 1);
    const uintptr_t to = (reinterpret_cast<uintptr_t>(p) + n) & ~(page - 1);
    if (to > from) VirtualUnlock(reinterpret_cast<void*>(from), to - from);
}

void AdviseFillOnce(void*, size_t) {}

#endif

} // namespace tmxfile
