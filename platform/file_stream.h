#pragma once
// A file read from its start to its end in pieces, for files too large to be read whole (project
// files). Only a regular file is ever opened: never a device (COM1.cpr on Windows), a pipe, or,
// on POSIX systems, a symbolic link, which could lead anywhere. Qt-free; paths are UTF-8.
#include <cstddef>
#include <string>

namespace orvasel::file_stream {

class InputFile {
public:
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // False when there is no regular file to read there.
    bool isOpen() const;
    // Up to most bytes into into: how many, 0 at the end, below 0 on a failure.
    std::ptrdiff_t read(char* into, std::size_t most);

private:
#ifdef _WIN32
    void* handle_;
#else
    int descriptor_ = -1;
#endif
};

// Whether Windows takes the name for a device rather than a file ("CON", "com1.cpr", "LPT2.txt"):
// such names are never opened.
bool isDeviceName(const std::string& fileName);

}  // namespace orvasel::file_stream
