#include "memoryfile.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

CMemoryFile::CMemoryFile() : m_fd(::memfd_create("fuzz-input", 0)) {
    if (m_fd < 0) {
        std::perror("memfd_create");
        std::abort();
    }
    m_path = QStringLiteral("/proc/self/fd/%1").arg(m_fd);
}

CMemoryFile::~CMemoryFile() {
    ::close(m_fd);
}

bool CMemoryFile::write(const std::uint8_t* data, std::size_t size) {
    if (::ftruncate(m_fd, 0) != 0)
        return false;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(m_fd, data + done, size - done, off_t(done));
        if (n <= 0)
            return false;
        done += std::size_t(n);
    }
    return true;
}
