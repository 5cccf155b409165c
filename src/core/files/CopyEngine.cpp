#include "files/CopyEngine.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace koral {
namespace {

// Closes a descriptor when it goes.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
  ~FileDescriptor() { Close(); }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int Get() const { return m_fd; }
  bool IsOpen() const { return m_fd >= 0; }
  // The result of close(): some file systems report a failed write only here.
  int Close() {
    if (m_fd < 0) return 0;
    const int status = close(m_fd);
    m_fd = -1;
    return status;
  }

 private:
  int m_fd;
};

int OpenSource(const std::string& path) { return open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK); }

// Truncates or creates the destination. A read-only file left on the player
// gets its owner's write bit back first, as the delete does. A link in its
// place is refused: it could lead off the player.
int OpenDestination(const std::string& path) {
  constexpr int kFlags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW;
  int fd = open(path.c_str(), kFlags, 0666);
  if (fd < 0 && errno == EACCES) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && chmod(path.c_str(), info.st_mode | S_IWUSR) == 0)
      fd = open(path.c_str(), kFlags, 0666);
  }
  return fd;
}

// True when `path` lies below `folder` ("/a/b/c" below "/a/b", not "/a/bc").
bool IsBelow(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/';
}

bool IsSameFile(const struct stat& source, const std::string& destination) {
  struct stat info {};
  return stat(destination.c_str(), &info) == 0 && info.st_dev == source.st_dev && info.st_ino == source.st_ino;
}

// The player's volume, opened before anything is written so that its sync
// reports every write error of the copy; -1 when it cannot be opened.
int OpenVolume(const CopyPlan& plan) {
  if (plan.steps.empty()) return -1;
  const std::string folder = std::filesystem::path(plan.steps.front().destination).parent_path().string();
  return open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

ssize_t CopyRangeRetrying(int in, int out, std::size_t count) {
  ssize_t got;
  do got = copy_file_range(in, nullptr, out, nullptr, count, 0);
  while (got < 0 && errno == EINTR);
  return got;
}

ssize_t ReadRetrying(int fd, char* data, std::size_t count) {
  ssize_t got;
  do got = read(fd, data, count);
  while (got < 0 && errno == EINTR);
  return got;
}

// Writeback is started about a megabyte at a time: a request per 300 KiB
// chunk costs the device a quarter of its speed.
constexpr std::uint64_t kWritebackBatchBytes = 1024 * 1024;

constexpr unsigned kWaitForWholeFile =
    SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;

CopyFault WriteFault(int error) {
  return error == ENOSPC || error == EDQUOT ? CopyFault::PlayerFull : CopyFault::DestinationUnwritable;
}

}  // namespace

CCopyEngine::CCopyEngine(const CopyOptions& options, CopyObserver& observer)
    : m_options(options), m_observer(observer), m_buffer(kCopyChunkBytes) {}

CopyResult CCopyEngine::Run(const CopyPlan& plan) {
  m_result = {};
  m_written.clear();
  m_inFlight.clear();
  m_inFlightBytes = 0;
  m_syncFailed = false;
  m_progress = {};
  m_progress.fileTotal = plan.fileTotal;
  m_progress.totalSize = plan.totalBytes;
  const FileDescriptor volume(OpenVolume(plan));
  std::string refusedFolder;  // nothing is written below a folder that could not be made
  for (const CopyStep& step : plan.steps) {
    if (m_result.stoppedOnFullPlayer) break;
    if (!refusedFolder.empty() && IsBelow(step.destination, refusedFolder)) continue;
    refusedFolder.clear();
    if (step.kind == CopyStep::Kind::CopyFile) CopyOneFile(step);
    else if (!MakeFolder(step.destination)) refusedFolder = step.destination;
  }
  SyncWrittenFiles(volume.Get());
  return std::move(m_result);
}

// An existing folder is merged into; a link or a file in its place is not
// (a link could lead off the player).
bool CCopyEngine::MakeFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0777) == 0) return true;
  const int error = errno;
  struct stat info {};
  if (lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return true;
  if (error != EEXIST) Fail(path, WriteFault(error), error);
  else Fail(path, CopyFault::DestinationUnwritable, S_ISLNK(info.st_mode) ? ELOOP : ENOTDIR);
  return false;
}

void CCopyEngine::Fail(const std::string& path, CopyFault fault, int error) {
  m_result.failures.push_back({path, fault, error});
  if (fault == CopyFault::PlayerFull) m_result.stoppedOnFullPlayer = true;
}

void CCopyEngine::CopyOneFile(const CopyStep& step) {
  FileDescriptor in(OpenSource(step.source));
  if (!in.IsOpen())
    return Fail(step.source, errno == ENOENT || errno == ENOTDIR ? CopyFault::SourceMissing : CopyFault::SourceUnreadable,
                errno);
  struct stat info {};
  if (fstat(in.Get(), &info) != 0) return Fail(step.source, CopyFault::SourceUnreadable, errno);
  if (!S_ISREG(info.st_mode)) return Fail(step.source, CopyFault::NotRegularFile, 0);
  // Opening the destination would truncate the source.
  if (IsSameFile(info, step.destination)) return Fail(step.source, CopyFault::SameFile, 0);
  posix_fadvise(in.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);

  ++m_progress.fileNumber;
  m_progress.source = step.source;
  m_progress.destination = step.destination;
  m_progress.fileDone = 0;
  m_progress.fileSize = static_cast<std::uint64_t>(info.st_size);
  m_waitedUpTo = 0;
  m_kickedUpTo = 0;
  m_observer.OnProgress(m_progress);

  FileDescriptor out(OpenDestination(step.destination));
  if (!out.IsOpen()) return Fail(step.destination, WriteFault(errno), errno);
  bool copied = TransferChunks(in.Get(), out.Get(), step);
  if (copied && out.Close() != 0) {
    Fail(step.destination, WriteFault(errno), errno);
    copied = false;
  }
  if (!copied) {
    out.Close();
    unlink(step.destination.c_str());  // no partial file is left on the player
    return;
  }
  m_written.push_back(step.destination);
  ++m_result.filesCopied;
  BoundUnwrittenFiles(step.destination);
}

// Many small files are each under the window of FollowWriteback: the files
// already closed count too, the oldest waited for until about
// kMaxUnwrittenBytes remain on the way.
void CCopyEngine::BoundUnwrittenFiles(const std::string& path) {
  if (m_options.syncEachChunk) return;
  const std::uint64_t pending = m_progress.fileDone - std::min(m_progress.fileDone, m_waitedUpTo);
  m_inFlight.push_back({path, pending});
  m_inFlightBytes += pending;
  while (m_inFlightBytes > kMaxUnwrittenBytes && !m_inFlight.empty()) {
    const FileInFlight oldest = std::move(m_inFlight.front());
    m_inFlight.pop_front();
    m_inFlightBytes -= oldest.bytes;
    if (!WaitForFile(oldest.path, false)) std::erase(m_written, oldest.path);
  }
}

// Waits until the file's data is on the device (durably: flushed from the
// device's cache too); a failed write is reported with the file's name.
bool CCopyEngine::WaitForFile(const std::string& path, bool durably) {
  FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  const bool done = file.IsOpen() && (durably ? fdatasync(file.Get()) == 0
                                              : sync_file_range(file.Get(), 0, 0, kWaitForWholeFile) == 0);
  if (!done) {
    Fail(path, CopyFault::NotSynced, errno);
    --m_result.filesCopied;
    m_syncFailed = true;
  }
  return done;
}

// In-kernel copy where the two file systems allow it (no trip through user
// memory, as cp does); otherwise, or after any fault, read and write, which
// names the side that failed.
bool CCopyEngine::TransferChunks(int in, int out, const CopyStep& step) {
  bool inKernel = true;
  for (;;) {
    ssize_t count = inKernel ? CopyRangeRetrying(in, out, m_buffer.size()) : -1;
    if (count < 0 && inKernel && (errno == ENOSPC || errno == EDQUOT)) {
      Fail(step.destination, CopyFault::PlayerFull, errno);
      return false;
    }
    if (count < 0) {
      inKernel = false;
      count = ReadAndWriteChunk(in, out, step);
      if (count < 0) return false;
    }
    if (count == 0) {
      FollowWriteback(out, m_progress.fileDone, true);
      return true;
    }
    if (m_options.syncEachChunk && fdatasync(out) != 0) {
      Fail(step.destination, WriteFault(errno), errno);
      return false;
    }
    const std::uint64_t written = m_progress.fileDone + static_cast<std::uint64_t>(count);
    if (!FollowWriteback(out, written, false)) {
      Fail(step.destination, WriteFault(errno), errno);
      m_syncFailed = true;  // the volume's sync will report this error again, already named
      return false;
    }
    m_progress.fileDone = written;
    m_progress.totalDone += static_cast<std::uint64_t>(count);
    m_observer.OnProgress(m_progress);
  }
}

// One chunk through the buffer: its size, 0 at the end, -1 once reported.
ssize_t CCopyEngine::ReadAndWriteChunk(int in, int out, const CopyStep& step) {
  const ssize_t count = ReadRetrying(in, m_buffer.data(), m_buffer.size());
  if (count < 0) {
    Fail(step.source, CopyFault::SourceUnreadable, errno);
    return -1;
  }
  const char* data = m_buffer.data();
  for (auto left = static_cast<std::size_t>(count); left > 0;) {
    const ssize_t done = write(out, data, left);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) {
      const int error = done < 0 ? errno : ENOSPC;
      Fail(step.destination, WriteFault(error), error);
      return -1;
    }
    data += done;
    left -= static_cast<std::size_t>(done);
  }
  return count;
}

// Starts the writeback of what was written, a few chunks at a time (one
// small request per chunk would slow the device), and waits for what lies
// more than kMaxUnwrittenBytes behind: progress follows the device rather
// than the page cache. At the end of a file everything left is started.
// False, with errno, when the device reports a failed write: this wait is
// the one that hears of it with the file's name.
bool CCopyEngine::FollowWriteback(int out, std::uint64_t written, bool endOfFile) {
  if (m_options.syncEachChunk) return true;
  if (written - m_kickedUpTo >= kWritebackBatchBytes || (endOfFile && written > m_kickedUpTo)) {
    sync_file_range(out, static_cast<off_t>(m_kickedUpTo), static_cast<off_t>(written - m_kickedUpTo),
                    SYNC_FILE_RANGE_WRITE);
    m_kickedUpTo = written;
  }
  if (written <= kMaxUnwrittenBytes) return true;
  const std::uint64_t waitEnd = written - kMaxUnwrittenBytes;
  if (waitEnd <= m_waitedUpTo) return true;
  if (sync_file_range(out, static_cast<off_t>(m_waitedUpTo), static_cast<off_t>(waitEnd - m_waitedUpTo),
                      kWaitForWholeFile) != 0)
    return false;
  m_waitedUpTo = waitEnd;
  return true;
}

// "Done" means on the player. One syncfs writes and commits the whole volume
// with a single cache flush (an fdatasync per file flushes the device once
// per file: several times slower on many small files). It reports any write
// error on the volume since it was opened, before the copy; only then is
// each file asked again, so that the report names it.
void CCopyEngine::SyncWrittenFiles(int volume) {
  if (m_written.empty()) return;
  if (volume >= 0 && syncfs(volume) == 0) return;
  const int volumeError = errno;
  for (const std::string& path : m_written) WaitForFile(path, volume < 0);
  if (volume >= 0 && !m_syncFailed)
    Fail(std::filesystem::path(m_written.front()).parent_path().string(), CopyFault::NotSynced, volumeError);
}

}  // namespace koral
