#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "files/CopyPlan.h"
#include "platform/FileDescriptor.h"

namespace koral {

// Copied files still under their temporary names, oldest first. Each stays
// open until its writeback is confirmed, so that a failed write is reported
// on its own descriptor (a closed file evicted from memory would lose the
// error). Only then does it take its final name; a file that fails never
// does, and its temporary goes.
class CStagedFiles {
 public:
  struct Published {
    std::vector<std::string> paths;     // final paths, in the order published
    std::vector<CopyFailure> failures;  // by final path
  };

  CStagedFiles() = default;
  ~CStagedFiles();  // temporaries never published are removed
  CStagedFiles(const CStagedFiles&) = delete;
  CStagedFiles& operator=(const CStagedFiles&) = delete;

  // A file whose bytes from unstartedFrom on have not been handed to the
  // device yet; their writeback starts with that of the files after it,
  // once they come to about a megabyte (one request per small file would
  // slow the device).
  void Add(FileDescriptor file, std::string temporary, std::string final, std::uint64_t unconfirmedBytes,
           std::uint64_t unstartedFrom, std::uint64_t size);

  // Publishes the oldest files until at most maxBytes not yet known to be on
  // the device, and at most maxFiles files, remain staged.
  void PublishDownTo(std::uint64_t maxBytes, std::size_t maxFiles, Published& published);

 private:
  struct StagedFile {
    FileDescriptor file;
    std::string temporary;
    std::string final;
    std::uint64_t unconfirmedBytes;
    std::uint64_t unstartedFrom;
    std::uint64_t size;
  };

  void StartWriteback();
  static std::optional<CopyFailure> Publish(StagedFile& staged);

  std::deque<StagedFile> m_files;
  std::uint64_t m_unconfirmedBytes = 0;
  std::uint64_t m_unstartedBytes = 0;
  std::size_t m_unstartedFiles = 0;  // the newest files of m_files
};

}  // namespace koral
