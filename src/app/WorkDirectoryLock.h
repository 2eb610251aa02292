#pragma once
// The exclusive lock of a work directory for the duration of a run. The
// identifier ranges and the exchange-table key assume one writer, and the
// files of the work directory are the checkpoint of every unfinished item, so
// two runs must never work on the same directory. The lock is an flock on a
// lock file in the directory; the kernel drops it when the holding process
// ends, a crash included, so a stale lock file never blocks a later run.

#include <filesystem>
#include <string>

namespace pelmora::app {

// The lock file in the work directory (not an exchange file: it does not end in ".xml").
inline constexpr const char* WorkDirectoryLockName = "Pelmora.lock";

class TWorkDirectoryLock {
public:
    enum class Result {
        Locked,      // this object holds the lock
        HeldByOther, // another open of the lock file holds it (another run)
        NoDirectory, // the work directory does not exist
        Failed,      // the lock file could not be opened or locked
    };

    // Tries to lock `directory` without waiting.
    explicit TWorkDirectoryLock(const std::filesystem::path& directory);
    // Releases the lock; the lock file stays.
    ~TWorkDirectoryLock();
    TWorkDirectoryLock(const TWorkDirectoryLock&) = delete;
    TWorkDirectoryLock& operator=(const TWorkDirectoryLock&) = delete;

    Result Outcome() const { return result_; }
    bool Locked() const { return result_ == Result::Locked; }
    // The system's words for a Failed outcome.
    const std::string& Cause() const { return cause_; }
    const std::filesystem::path& LockFilePath() const { return lockFile_; }

private:
    std::filesystem::path lockFile_;
    Result result_ = Result::Failed;
    std::string cause_;
    int fd_ = -1; // open lock file; -1 for none
};

} // namespace pelmora::app
