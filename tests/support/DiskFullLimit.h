#pragma once

#include <sys/resource.h>

#include <csignal>

// While it lives, no file of this process may grow past the given size: a
// write beyond it fails with EFBIG, as one fails on a full disk with ENOSPC.
// Needs no root and no special file system. SIGXFSZ, which would end the
// process, is ignored meanwhile.
class DiskFullLimit
{
public:
    explicit DiskFullLimit(rlim_t bytes);
    ~DiskFullLimit();
    DiskFullLimit(const DiskFullLimit &) = delete;
    DiskFullLimit &operator=(const DiskFullLimit &) = delete;

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
};
