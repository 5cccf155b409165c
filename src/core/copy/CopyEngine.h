// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <unordered_set>
#include <vector>

#include <sys/stat.h>
#include <sys/types.h>

#include "core/copy/ConversionPool.h"
#include "core/copy/CopyPlan.h"
#include "core/copy/CopyRunFolder.h"
#include "core/copy/WritebackQueue.h"
#include "core/copy/WritebackWindow.h"
#include "core/files/PlayerVolume.h"

namespace koral {

// Where a copy stands, as the player has it: of the bytes counted, at most
// a writeback window (copy/WritebackWindow.h) is not yet on the device.
struct CopyProgress {
  std::string source;
  std::string destination;
  int fileNumber = 0;  // 1-based
  int fileTotal = 0;
  std::uint64_t fileDone = 0;
  std::uint64_t fileSize = 0;
  std::uint64_t totalDone = 0;
  std::uint64_t totalSize = 0;
};

// Told of the progress on the copying thread, at the start of each file and
// after each chunk. It must return at once: the copy waits for it.
class CopyObserver {
 public:
  virtual ~CopyObserver() = default;
  virtual void OnProgress(const CopyProgress& progress) = 0;
};

struct CopyResult {
  std::vector<CopyFailure> failures;  // in the order met; the plan's refusals not included
  std::vector<std::string> notTried;  // the sources a full player left unreached, in plan order
  std::vector<std::string> written;   // the names this copy put on the player: folders made or merged into, files
  int filesCopied = 0;
  bool stoppedOnFullPlayer = false;
  bool cancelled = false;  // stopped on request: the file being written was dropped
};

// The progress moves at least this often, and the Windows 98 option commits
// chunks of this size; a copy with room in its window asks for up to
// kLargestCallBytes at once.
inline constexpr std::size_t kCopyChunkBytes = 300 * 1024;
inline constexpr std::size_t kLargestCallBytes = 8 * 1024 * 1024;

// Runs a plan: one file at a time, in order, each named in that order
// (players play in directory-entry order). Each file is written under a
// temporary name in the run's own folder (copy/CopyRunFolder.h) and is
// moved to its final name once
// its writeback succeeded, on the writeback queue's thread while the next
// files are copied. A file that fails is
// removed and remembered and the copy goes on, but a full player ends it.
// Everything written is on the device (synced, write errors collected by
// file name) before Run returns.
// Nothing is written through a folder mounted inside the player (the plan's
// player root tells its volume): the mount is reported and skipped whole.
// A stop request ends the copy between two calls that write: the file being
// written is dropped (its temporary removed, its unconfirmed bytes never
// waited for) and the files finished before it are named as usual.
// Steps that convert are encoded ahead by a pool of encoders
// (copy/ConversionPool.h) and written from memory the same way, in the
// plan's order; one that cannot be decoded is reported and skipped. The
// progress counts the bytes written: a converted file's estimate gives way
// to its real size once it is known.
class CCopyEngine {
 public:
  CCopyEngine(const CopyOptions& options, CopyObserver& observer, std::stop_token stop = {});
  CCopyEngine(const CCopyEngine&) = delete;
  CCopyEngine& operator=(const CCopyEngine&) = delete;

  // Encoders and memory for conversions other than one per core.
  void SetConversionLimits(const ConversionLimits& limits) { m_conversionLimits = limits; }

  CopyResult Run(const CopyPlan& plan);

 private:
  void StartConversions(const CopyPlan& plan);
  void ConvertOneFile(const CopyStep& step, std::size_t job);
  void WriteStaged(const CopyStep& step, const std::function<bool(int)>& transfer);
  bool WriteFromMemory(int out, const CopyStep& step, const std::vector<std::uint8_t>& bytes);
  bool Advance(int out, const CopyStep& step, std::uint64_t count);
  bool MakeFolder(const std::string& path);
  bool RefusedMount(const std::string& folder);
  bool BelowRefusedMount(const std::string& path) const;
  void CopyOneFile(const CopyStep& step);
  bool CheckDestination(const CopyStep& step, const struct stat& source);
  void StartFile(const CopyStep& step, std::uint64_t size);
  bool TransferChunks(int in, int out, const CopyStep& step);
  ssize_t ReadAndWriteChunk(int in, int out, const CopyStep& step, std::size_t wanted);
  std::size_t CallBytes(std::uint64_t left) const;
  std::uint64_t CurrentFileAllowance() const;
  bool FollowWriteback(int out, std::uint64_t written);
  void SettleQueue(bool everything);
  void CollectPublished();
  void SyncWrittenFiles(int volume);
  void Fail(const std::string& path, CopyFault fault, int error, std::string detail = {});
  void NoteNotTried(const CopyPlan& plan, std::size_t first);
  bool StopRequested();

  CopyOptions m_options;
  CopyObserver& m_observer;
  std::stop_token m_stop;
  std::vector<char> m_buffer;
  CopyProgress m_progress;
  std::uint64_t m_waitedUpTo = 0;            // bytes of the current file known to be on the device
  std::uint64_t m_kickedUpTo = 0;            // bytes of the current file whose writeback has started
  std::optional<CWritebackWindow> m_window;  // for the length of Run
  std::optional<CWritebackQueue> m_queue;    // for the length of Run
  std::size_t m_maxStagedFiles;
  std::optional<CCopyRunFolder> m_runFolder;      // for the length of Run
  std::optional<CPlayerVolume> m_playerVolume;    // for the length of Run, when the plan names the player
  std::string m_checkedFolder;                    // the last folder found on the player's volume
  std::vector<std::string> m_refusedMounts;       // nothing is written below them
  std::unordered_set<std::string> m_madeFolders;  // made by this copy: no earlier entry lies in them
  std::vector<std::string> m_published;
  std::optional<ConversionLimits> m_conversionLimits;
  std::optional<CConversionPool> m_conversions;  // for the length of Run, when steps convert
  std::vector<std::size_t> m_conversionOf;       // per step: its job in the pool
  bool m_syncFailed = false;  // a write error already reported, which the volume's sync will tell again
  CopyResult m_result;
};

}  // namespace koral
