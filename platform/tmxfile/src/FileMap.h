// A file's bytes mapped read-only into memory, and the memory hints the
// reader gives as it goes. The one place of the reader that talks to the
// operating system (POSIX or Windows).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tmxfile {

class FileMap {
public:
    FileMap() = default;
    FileMap(const FileMap&) = delete;
    FileMap& operator=(const FileMap&) = delete;
    ~FileMap() { Close(); }

    // Maps the file at path (UTF-8); name names it in the error text. 0 on
    // failure with error set ("part.3dm cannot be opened: ..."). An empty file
    // maps to no bytes.
    int Open(const std::string& path, const std::string& name, std::string& error);
#ifdef _WIN32
    int Open(const std::wstring& path, const std::string& name, std::string& error);
#endif
    void Close();

    const uint8_t* Data() const {
        return data_;
    }
    size_t Size() const {
        return size_;
    }

    // The reader is done with bytes [p, p + n) of a mapping: the whole pages
    // among them may leave memory (they come back from the file if read again).
    static void Release(void* context, const unsigned char* p, size_t n);

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
#ifdef _WIN32
    void* file_ = nullptr; // HANDLEs
    void* mapping_ = nullptr;
    bool locked_ = false;
#endif
};

// bytes at p are about to be written once, front to back: where the system
// offers it, back them with huge pages.
void AdviseFillOnce(void* p, size_t bytes);

} // namespace tmxfile
