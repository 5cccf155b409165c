// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/copy/CopyEngine.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "core/copy/SourcePrefetch.h"
#include "core/files/Paths.h"
#include "core/platform/FileDescriptor.h"

namespace koral {
namespace {

int OpenSource(const std::string& path) { return open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK); }

// Temporaries are new names of the run's own folder: an existing file is
// never taken over.
int OpenTemporary(const std::string& path) {
  return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
}

// True when `path` lies below `folder` ("/a/b/c" below "/a/b", not "/a/bc").
bool IsBelow(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/';
}

// The player's volume, opened before anything is written so that its sync
// reports every write error of the copy; -1 when it cannot be opened.
int OpenVolume(const CopyPlan& plan) {
  if (plan.steps.empty()) return -1;
  return open(ParentFolder(plan.steps.front().destination).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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

// Writeback of a large file is started a few megabytes at a time: a request
// per 300 KiB chunk costs the device a quarter of its speed.
constexpr std::uint64_t kWritebackBatchBytes = 4 * 1024 * 1024;

// Files kept open while their writeback is on its way: half of what the
// process may open, the rest left to the program.
std::size_t MaxStagedFiles() {
  struct rlimit limit {};
  const rlim_t open = getrlimit(RLIMIT_NOFILE, &limit) == 0 ? limit.rlim_cur : 1024;
  return std::clamp<std::size_t>(static_cast<std::size_t>(std::min<rlim_t>(open, 1 << 16)) / 2, 16, 4096);
}

constexpr unsigned kWaitForWholeRange =
    SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;

CopyFault WriteFault(int error) {
  return error == ENOSPC || error == EDQUOT ? CopyFault::PlayerFull : CopyFault::DestinationUnwritable;
}

// 0 when a published file's data and name are on the device, else errno.
int DurabilityError(const std::string& path) {
  const FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  if (!file.IsOpen()) return errno;
  return fdatasync(file.Get()) == 0 ? 0 : errno;
}

}  // namespace

CCopyEngine::CCopyEngine(const CopyOptions& options, CopyObserver& observer, std::stop_token stop)
    : m_options(options),
      m_observer(observer),
      m_stop(std::move(stop)),
      m_buffer(kCopyChunkBytes),
      m_maxStagedFiles(MaxStagedFiles()) {}

CopyResult CCopyEngine::Run(const CopyPlan& plan) {
  m_result = {};
  m_published.clear();
  m_syncFailed = false;
  m_progress = {};
  m_progress.fileTotal = plan.fileTotal;
  m_progress.totalSize = plan.totalBytes;
  m_madeFolders.clear();
  m_refusedMounts.clear();
  m_checkedFolder.clear();
  if (plan.playerRoot.empty()) m_playerVolume.reset();
  else m_playerVolume.emplace(plan.playerRoot);
  m_window.emplace();
  m_queue.emplace(*m_window);
  m_runFolder.emplace(plan.playerRoot);
  StartConversions(plan);
  const FileDescriptor volume(OpenVolume(plan));
  CSourcePrefetch prefetch(plan);
  std::string refusedFolder;  // nothing is written below a folder that could not be made
  for (std::size_t i = 0; i < plan.steps.size(); ++i) {
    const CopyStep& step = plan.steps[i];
    if (m_result.stoppedOnFullPlayer) {
      NoteNotTried(plan, i);
      break;
    }
    if (StopRequested()) break;
    if (!refusedFolder.empty() && IsBelow(step.destination, refusedFolder)) continue;
    refusedFolder.clear();
    if (BelowRefusedMount(step.destination) || RefusedMount(ParentFolder(step.destination))) continue;
    if (step.kind == CopyStep::Kind::CopyFile) {
      prefetch.Reached(i);
      if (step.convert && m_conversions) ConvertOneFile(step, m_conversionOf[i]);
      else CopyOneFile(step);
    } else if (!MakeFolder(step.destination) || RefusedMount(step.destination)) {
      refusedFolder = step.destination;
    }
  }
  m_conversions.reset();  // stops and joins the encoders: a full player or a stop needs no more
  SettleQueue(true);
  m_queue.reset();  // removes what it did not name
  m_runFolder.reset();
  m_result.written.insert(m_result.written.end(), m_published.begin(), m_published.end());
  SyncWrittenFiles(volume.Get());
  return std::move(m_result);
}

// An existing folder is merged into; a link or a file in its place is not
// (a link could lead off the player).
bool CCopyEngine::MakeFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0777) == 0) {
    m_madeFolders.insert(path);
    m_result.written.push_back(path);
    return true;
  }
  const int error = errno;
  struct stat info {};
  if (lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    m_result.written.push_back(path);
    return true;
  }
  if (error != EEXIST) Fail(path, WriteFault(error), error);
  else Fail(path, CopyFault::DestinationUnwritable, S_ISLNK(info.st_mode) ? ELOOP : ENOTDIR);
  return false;
}

// A write into a folder mounted inside the player would land off it: the
// mount is reported once and nothing is written below it.
bool CCopyEngine::RefusedMount(const std::string& folder) {
  if (!m_playerVolume || folder == m_checkedFolder) return false;
  const std::optional<std::filesystem::path> mount = m_playerVolume->MountHolding(folder);
  if (!mount) {
    m_checkedFolder = folder;
    return false;
  }
  m_refusedMounts.push_back(folder);
  const bool told = std::any_of(m_result.failures.begin(), m_result.failures.end(), [&](const CopyFailure& failure) {
    return failure.fault == CopyFault::OtherVolume && failure.path == mount->string();
  });
  if (!told) Fail(mount->string(), CopyFault::OtherVolume, EXDEV);
  return true;
}

bool CCopyEngine::BelowRefusedMount(const std::string& path) const {
  return std::any_of(m_refusedMounts.begin(), m_refusedMounts.end(),
                     [&](const std::string& folder) { return IsBelow(path, folder); });
}

void CCopyEngine::Fail(const std::string& path, CopyFault fault, int error, std::string detail) {
  m_result.failures.push_back({path, fault, error, std::move(detail)});
  if (fault == CopyFault::PlayerFull) m_result.stoppedOnFullPlayer = true;
}

// The files from `first` on were never reached: named, so that the user
// knows what is missing on the player.
void CCopyEngine::NoteNotTried(const CopyPlan& plan, std::size_t first) {
  for (std::size_t i = first; i < plan.steps.size(); ++i)
    if (plan.steps[i].kind == CopyStep::Kind::CopyFile) m_result.notTried.push_back(plan.steps[i].source);
}

bool CCopyEngine::StopRequested() {
  if (m_stop.stop_requested()) m_result.cancelled = true;
  return m_result.cancelled;
}

void CCopyEngine::CopyOneFile(const CopyStep& step) {
  FileDescriptor in(OpenSource(step.source));
  if (!in.IsOpen())
    return Fail(step.source,
                errno == ENOENT || errno == ENOTDIR ? CopyFault::SourceMissing : CopyFault::SourceUnreadable, errno);
  struct stat info {};
  if (fstat(in.Get(), &info) != 0) return Fail(step.source, CopyFault::SourceUnreadable, errno);
  if (!S_ISREG(info.st_mode)) return Fail(step.source, CopyFault::NotRegularFile, 0);
  if (!CheckDestination(step, info)) return;
  // Read in one chunk, a small file gains nothing from a wider read-ahead.
  if (static_cast<std::uint64_t>(info.st_size) > kCopyChunkBytes) posix_fadvise(in.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
  StartFile(step, static_cast<std::uint64_t>(info.st_size));
  WriteStaged(step, [&](int out) { return TransferChunks(in.Get(), out, step); });
}

void CCopyEngine::StartConversions(const CopyPlan& plan) {
  m_conversions.reset();
  m_conversionOf.assign(plan.steps.size(), 0);
  if (!plan.converter) return;
  std::vector<ConversionJob> jobs;
  for (std::size_t i = 0; i < plan.steps.size(); ++i) {
    if (!plan.steps[i].convert) continue;
    m_conversionOf[i] = jobs.size();
    jobs.push_back({plan.steps[i].source, plan.steps[i].bytes});
  }
  if (jobs.empty()) return;
  const ConversionLimits limits = m_conversionLimits.value_or(DefaultConversionLimits(jobs));
  m_conversions.emplace(*plan.converter, plan.convertRate, std::move(jobs), limits, m_stop);
}

// Written from memory once its encoder is done, through the same temporary,
// window and queue as a file copied as it is.
void CCopyEngine::ConvertOneFile(const CopyStep& step, std::size_t job) {
  struct stat info {};
  if (stat(step.source.c_str(), &info) != 0)
    return Fail(step.source,
                errno == ENOENT || errno == ENOTDIR ? CopyFault::SourceMissing : CopyFault::SourceUnreadable, errno);
  if (!S_ISREG(info.st_mode)) return Fail(step.source, CopyFault::NotRegularFile, 0);
  if (!CheckDestination(step, info)) return;
  std::optional<ConvertedAudio> audio = m_conversions->Take(job);
  if (StopRequested() || !audio) {
    m_result.cancelled = true;
    return;
  }
  // The total counts what is written: the estimate gives way to the real size.
  m_progress.totalSize = m_progress.totalSize - std::min(m_progress.totalSize, step.bytes) + audio->bytes.size();
  if (audio->bytes.empty())
    return Fail(step.source, CopyFault::AudioUnreadable, 0,
                audio->failure.empty() ? "aucune donnée audio produite" : std::move(audio->failure));
  StartFile(step, audio->bytes.size());
  WriteStaged(step, [&](int out) { return WriteFromMemory(out, step, audio->bytes); });
}

// Through a temporary of the run folder, named by the queue once on the device.
void CCopyEngine::WriteStaged(const CopyStep& step, const std::function<bool(int)>& transfer) {
  if (const int error = m_runFolder->Prepare()) return Fail(step.destination, WriteFault(error), error);
  const std::string temporary = m_runFolder->TemporaryPathFor(step.destination);
  FileDescriptor out(OpenTemporary(temporary));
  if (!out.IsOpen()) return Fail(step.destination, WriteFault(errno), errno);
  if (!transfer(out.Get())) {
    // No partial file is left on the player. Once unlinked, the pages not
    // yet under writeback are dropped rather than written.
    unlink(temporary.c_str());
    out.Close();
    return;
  }
  const std::uint64_t unconfirmed = m_progress.fileDone - std::min(m_progress.fileDone, m_waitedUpTo);
  m_queue->Add({std::move(out), temporary, step.destination, unconfirmed, m_kickedUpTo, m_progress.fileDone});
  SettleQueue(m_options.syncEachChunk);
}

// What the final name holds now: a link in its place is refused (it could
// lead off the player), so is a folder, and so is the source itself.
bool CCopyEngine::CheckDestination(const CopyStep& step, const struct stat& source) {
  if (m_madeFolders.count(ParentFolder(step.destination)) != 0)
    return true;  // a new folder holds only this copy's names
  struct stat info {};
  if (lstat(step.destination.c_str(), &info) != 0) return true;
  if (S_ISLNK(info.st_mode)) Fail(step.destination, CopyFault::DestinationUnwritable, ELOOP);
  else if (S_ISDIR(info.st_mode)) Fail(step.destination, CopyFault::DestinationUnwritable, EISDIR);
  else if (info.st_dev == source.st_dev && info.st_ino == source.st_ino) Fail(step.source, CopyFault::SameFile, 0);
  else return true;
  return false;
}

void CCopyEngine::StartFile(const CopyStep& step, std::uint64_t size) {
  ++m_progress.fileNumber;
  m_progress.source = step.source;
  m_progress.destination = step.destination;
  m_progress.fileDone = 0;
  m_progress.fileSize = size;
  m_waitedUpTo = 0;
  m_kickedUpTo = 0;
  m_observer.OnProgress(m_progress);
}

// Waits while more than the window is on its way to the device (progress
// follows the device, not the page cache), or for everything.
void CCopyEngine::SettleQueue(bool everything) {
  // A stop cuts short only the wait for room: the files finished are all
  // waited for, and named.
  if (everything) m_queue->WaitDownTo(0, 0);
  else m_queue->WaitDownTo(m_window->Bytes(), m_maxStagedFiles, m_stop);
  CollectPublished();
}

void CCopyEngine::CollectPublished() {
  PublishedFiles published = m_queue->TakePublished();
  m_result.filesCopied += static_cast<int>(published.paths.size());
  std::move(published.paths.begin(), published.paths.end(), std::back_inserter(m_published));
  for (const CopyFailure& failure : published.failures) {
    if (failure.fault != CopyFault::DestinationUnwritable) m_syncFailed = true;
    Fail(failure.path, failure.fault, failure.error);
  }
}

// In-kernel copy where the two file systems allow it (no trip through user
// memory, as cp does); otherwise, or after any fault, read and write, which
// names the side that failed. The bytes copied must come to the size the
// source had at open: a source that grows or shrinks meanwhile is reported.
bool CCopyEngine::TransferChunks(int in, int out, const CopyStep& step) {
  bool inKernel = true;
  for (;;) {
    const std::uint64_t left = m_progress.fileSize - m_progress.fileDone;
    if (left != 0 && StopRequested()) return false;  // dropped, not failed; a file whole goes on to its name
    const std::size_t wanted = CallBytes(left);
    ssize_t count = inKernel ? CopyRangeRetrying(in, out, wanted) : -1;
    if (count < 0 && inKernel && (errno == ENOSPC || errno == EDQUOT)) {
      Fail(step.destination, CopyFault::PlayerFull, errno);
      return false;
    }
    if (count < 0) {
      inKernel = false;
      count = ReadAndWriteChunk(in, out, step, std::min(wanted, m_buffer.size()));
      if (count < 0) return false;
    }
    if (count == 0 ? left != 0 : static_cast<std::uint64_t>(count) > left) {
      Fail(step.source, CopyFault::SourceChanged, 0);
      return false;
    }
    if (count == 0) return true;
    if (!Advance(out, step, static_cast<std::uint64_t>(count))) return false;
  }
}

// A chunk at a time, as much as the window has room for, as a copied file.
bool CCopyEngine::WriteFromMemory(int out, const CopyStep& step, const std::vector<std::uint8_t>& bytes) {
  while (m_progress.fileDone < bytes.size()) {
    if (StopRequested()) return false;
    const std::size_t wanted = CallBytes(bytes.size() - m_progress.fileDone);
    ssize_t count;
    do count = write(out, bytes.data() + m_progress.fileDone, wanted);
    while (count < 0 && errno == EINTR);
    if (count <= 0) {
      const int error = count < 0 ? errno : ENOSPC;
      Fail(step.destination, WriteFault(error), error);
      return false;
    }
    if (!Advance(out, step, static_cast<std::uint64_t>(count))) return false;
  }
  return true;
}

// `count` more bytes of the current file written: committed or followed
// to the device, then told.
bool CCopyEngine::Advance(int out, const CopyStep& step, std::uint64_t count) {
  if (m_options.syncEachChunk && fdatasync(out) != 0) {
    Fail(step.destination, WriteFault(errno), errno);
    return false;
  }
  const std::uint64_t written = m_progress.fileDone + count;
  if (!FollowWriteback(out, written)) {
    Fail(step.destination, WriteFault(errno), errno);
    m_syncFailed = true;
    return false;
  }
  m_progress.fileDone = written;
  m_progress.totalDone += count;
  m_observer.OnProgress(m_progress);
  return true;
}

// One chunk through the buffer: its size, 0 at the end, -1 once reported.
ssize_t CCopyEngine::ReadAndWriteChunk(int in, int out, const CopyStep& step, std::size_t wanted) {
  const ssize_t count = ReadRetrying(in, m_buffer.data(), wanted);
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

// At the size, one byte more tells a source that has grown. Otherwise as
// much as the window has room for, but no less than a chunk: on a slow
// device, whose window is full, the progress moves a chunk at a time.
std::size_t CCopyEngine::CallBytes(std::uint64_t left) const {
  if (left == 0) return 1;
  if (m_options.syncEachChunk) return static_cast<std::size_t>(std::min<std::uint64_t>(left, kCopyChunkBytes));
  const std::uint64_t unconfirmed = m_progress.fileDone - m_waitedUpTo;
  const std::uint64_t allowance = CurrentFileAllowance();
  const std::uint64_t room = allowance > unconfirmed ? allowance - unconfirmed : 0;
  return static_cast<std::size_t>(
      std::min({left, std::max<std::uint64_t>(room, kCopyChunkBytes), std::uint64_t{kLargestCallBytes}}));
}

// What the current file may have on its way: the window, less what the
// files before it still have.
std::uint64_t CCopyEngine::CurrentFileAllowance() const {
  const std::uint64_t window = m_window->Bytes();
  const std::uint64_t queued = m_queue->UnconfirmedBytes();
  return window > queued ? window - queued : 0;
}

// Starts the writeback of what was written, a few megabytes at a time, and
// waits for what lies beyond the current file's allowance: progress follows
// the device rather than the page cache. At the end of a file the queue
// starts what is left. False, with errno, when the device reports a failed
// write: this wait is the one that hears of it with the file's name.
bool CCopyEngine::FollowWriteback(int out, std::uint64_t written) {
  if (m_options.syncEachChunk) return true;
  if (written - m_kickedUpTo >= kWritebackBatchBytes) {
    sync_file_range(out, static_cast<off_t>(m_kickedUpTo), static_cast<off_t>(written - m_kickedUpTo),
                    SYNC_FILE_RANGE_WRITE);
    m_kickedUpTo = written;
  }
  const std::uint64_t allowance = CurrentFileAllowance();
  if (written <= m_waitedUpTo + allowance) return true;
  // Told a batch at a time, as the device writes them (copy/WritebackWindow.h).
  const std::uint64_t waitEnd = written - allowance;
  while (m_waitedUpTo < waitEnd) {
    const std::uint64_t step = std::min(waitEnd - m_waitedUpTo, kWritebackBatchBytes);
    if (sync_file_range(out, static_cast<off_t>(m_waitedUpTo), static_cast<off_t>(step), kWaitForWholeRange) != 0)
      return false;
    m_window->Confirmed(step, CWritebackWindow::Clock::now());
    m_waitedUpTo += step;
  }
  return true;
}

// "Done" means on the player. One syncfs writes and commits the whole volume
// (the new names included) with a single cache flush; an fdatasync per file
// flushes the device once per file, several times slower on many small
// files. The syncfs reports any write error on the volume since it was
// opened; each file is then committed on its own, and one that fails loses
// its name. The volume's failure is told too: when no file accounts for it,
// as lying outside the copied files.
void CCopyEngine::SyncWrittenFiles(int volume) {
  if (m_published.empty()) return;
  if (volume >= 0 && syncfs(volume) == 0) return;
  const int volumeError = errno;
  const std::string folder = ParentFolder(m_published.front());
  bool named = m_syncFailed;
  for (const std::string& path : m_published) {
    const int error = DurabilityError(path);
    if (error == 0) continue;
    Fail(path, CopyFault::NotSynced, error);
    unlink(path.c_str());
    std::erase(m_result.written, path);
    --m_result.filesCopied;
    named = true;
  }
  if (volume >= 0) Fail(folder, named ? CopyFault::VolumeSyncFailed : CopyFault::VolumeNotSynced, volumeError);
}

}  // namespace koral
