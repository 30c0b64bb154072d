// Where extracted bytes go. The extraction writes through this interface so that a
// test can stand in for a device that runs out of space or fails.
#pragma once

#include <cstddef>

namespace dunzip32 {

class Writer
{
public:
    virtual ~Writer() = default;
    // Writes all size bytes to the open file; returns 0 or the system error number.
    virtual int Write(int fd, const char* data, size_t size) = 0;
};

// Writes with write(2), resuming after short writes and interruptions.
class Posix_Writer final : public Writer
{
public:
    int Write(int fd, const char* data, size_t size) override;
};

} // namespace dunzip32
