#include "app/WorkDirectoryLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <system_error>
#include <unistd.h>

namespace pelmora::app {

TWorkDirectoryLock::TWorkDirectoryLock(const std::filesystem::path& directory)
    : lockFile_(directory / WorkDirectoryLockName) {
    std::error_code ec;
    if (directory.empty() || !std::filesystem::is_directory(directory, ec)) {
        result_ = Result::NoDirectory;
        return;
    }
    // Not inherited by programs the run may start, so they cannot keep it.
    fd_ = ::open(lockFile_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        cause_ = std::error_code(errno, std::generic_category()).message();
        result_ = Result::Failed;
        return;
    }
    int rc;
    do
        rc = ::flock(fd_, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        result_ = Result::Locked;
        return;
    }
    const int error = errno;
    ::close(fd_);
    fd_ = -1;
    if (error == EWOULDBLOCK) {
        result_ = Result::HeldByOther;
    } else {
        cause_ = std::error_code(error, std::generic_category()).message();
        result_ = Result::Failed;
    }
}

TWorkDirectoryLock::~TWorkDirectoryLock() {
    if (fd_ >= 0)
        ::close(fd_); // closing the last descriptor releases the flock
}

} // namespace pelmora::app
