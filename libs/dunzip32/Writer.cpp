#include "Writer.h"

#include <cerrno>
#include <unistd.h>

namespace dunzip32 {

int Posix_Writer::Write(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t done = ::write(fd, data, size);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (done == 0)
            return ENOSPC; // a device that accepts nothing more is full
        data += done;
        size -= static_cast<size_t>(done);
    }
    return 0;
}

} // namespace dunzip32
