#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

// One file in memory that every run of a target rewrites, so that readers which take a path
// see the fuzzer's bytes without touching the disk.
class CMemoryFile {
public:
    CMemoryFile();
    ~CMemoryFile();
    CMemoryFile(const CMemoryFile&) = delete;
    CMemoryFile& operator=(const CMemoryFile&) = delete;

    // Replaces the file's content; false when it could not be written.
    bool write(const std::uint8_t* data, std::size_t size);
    QString path() const { return m_path; }

private:
    int m_fd = -1;
    QString m_path;
};
