#pragma once

#include <sys/resource.h>

namespace brenzo::testing {

// While it lives, no file of this process can grow beyond the limit: a write past it fails (EFBIG)
// instead of raising SIGXFSZ. Even root cannot write past it, unlike a read-only folder.
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes);
    ~ScopedFileSizeLimit();
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
    rlimit m_previous {};
    void (*m_previousHandler)(int) = nullptr;
};

}
