#pragma once

#include <unistd.h>
#include <utility>

// Owns one POSIX file descriptor and closes it when it goes.
class FileDescriptor {
public:
    explicit FileDescriptor(int descriptor = -1) : fd(descriptor) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        std::swap(fd, other.fd);
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd >= 0)
            ::close(fd);
    }

    int get() const { return fd; }
    bool isValid() const { return fd >= 0; }
    // Closes now and reports whether the close succeeded (a failed close can lose written data).
    bool close() { return ::close(std::exchange(fd, -1)) == 0; }

private:
    int fd;
};
