// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/copy/AudioConversion.h"

namespace koral {

// The options of the main window that steer a copy.
struct CopyOptions {
  bool followPlaylist = false;  // folders by their playlist, numbered tracks
  bool numbersOnly = false;     // copy mode 1: "01.mp3" instead of "01 - title"
  bool syncEachChunk = false;   // the Windows 98 option: every chunk committed at once
  // 0: every file byte for byte; else audio the player cannot play is
  // converted to MP3 at this constant rate (one of kConvertRates), and
  // named ".mp3".
  int convertRate = 0;
};

// What the main window hands to the copy: one destination per source, in
// the same order. The last part of each destination is made vfat-safe.
struct CopyJob {
  std::vector<std::string> sources;
  std::vector<std::string> destinations;
  CopyOptions options;
  std::optional<std::uint64_t> maxFileSize;  // the player's file system limit, if any
  // Nothing is written off its volume, and the copy keeps its temporaries
  // there; empty: the folder of every destination.
  std::string playerRoot;
  // Probes and converts when options.convertRate is set; it outlives the copy.
  const AudioConverter* converter = nullptr;
};

// Why an entry was not copied.
enum class CopyFault {
  SourceMissing,  // a playlist entry or a file that names nothing
  SourceUnreadable,
  NotRegularFile,    // a device, a pipe, a socket
  SameFile,          // source and destination are one file
  FolderIntoItself,  // the destination lies inside the copied folder
  LinkLoop,          // a symbolic link leads back to a folder being copied
  TooBigForPlayer,   // 4 GiB or more on a FAT player
  NameTaken,         // another file of the copy has the same name on the player
  NameReserved,      // the name of a copy's temporary file
  SourceChanged,     // the source grew or shrank while it was copied
  DestinationUnwritable,
  PlayerFull,
  NotSynced,         // the file's data could not be confirmed on the device
  VolumeNotSynced,   // the player reported a write error no copied file accounts for
  VolumeSyncFailed,  // the player reported a write error, besides the files it lost
  OtherVolume,       // a folder mounted inside the player: nothing is written through it
  AudioUnreadable,   // audio to convert that the decoder could not read
};

// Built by constructor, not by aggregate: braces naming the first fields
// stay valid as fields are added.
struct CopyFailure {
  CopyFailure(std::string path, CopyFault fault, int error = 0, std::string detail = {})
      : path(std::move(path)), fault(fault), error(error), detail(std::move(detail)) {}

  std::string path;  // the source, or the destination for write and sync faults
  CopyFault fault;
  int error = 0;       // errno when a system call failed
  std::string detail;  // the decoder's reason, in French, for AudioUnreadable
};

// One step of the copy, in the order it is done.
struct CopyStep {
  enum class Kind { MakeFolder, CopyFile };
  CopyStep(Kind kind, std::string source, std::string destination, bool convert = false, std::uint64_t bytes = 0)
      : kind(kind), source(std::move(source)), destination(std::move(destination)), convert(convert), bytes(bytes) {}

  Kind kind;
  std::string source;
  std::string destination;
  bool convert = false;     // a file converted to MP3 on its way (AudioConversion.h)
  std::uint64_t bytes = 0;  // what it puts on the player: its size, or its MP3's estimated size
};

// A destination name changed to suit the player's FAT file system.
struct CopyRename {
  std::string source;
  std::string original;  // the name it would have had: "a:b?.mp3", "01 - a:b.mp3"
  std::string renamed;   // the name it has on the player: "a_b_.mp3"
};

// The pre-count: every step, and the files and bytes to copy. Entries that
// name nothing keep their step (they are reported when reached) but count
// nothing; entries refused before the copy, such as a folder that cannot be
// listed, have no step.
struct CopyPlan {
  std::vector<CopyStep> steps;
  int fileTotal = 0;
  std::uint64_t totalBytes = 0;
  std::vector<CopyFailure> refused;
  std::vector<CopyRename> renames;  // in plan order; none for a refused entry
  std::string playerRoot;           // the job's, or the folder of every destination
  // Set when steps convert: what converts them, and at which rate.
  const AudioConverter* converter = nullptr;
  int convertRate = 0;
};

// The plan's bytes in mebibytes, the need checked against the free space
// (platform/VolumeSpace.h).
float NeedInMebibytes(const CopyPlan& plan);

// Walks the job: trees, or playlists with numbered names. With a convert
// rate and a converter, every file is probed: audio the player cannot play
// is marked to convert, named ".mp3" and counted at its estimated size. Throws
// PlaylistUnreadable (copy/Playlist.h).
CopyPlan BuildCopyPlan(const CopyJob& job);

// The destination name of the n-th playlist entry (1-based) whose file name
// is `entryName`: "09 - a.mp3", "10 - a.mp3"; number only: "09.mp3".
std::string NumberedName(int number, const std::string& entryName, bool numbersOnly);

// The name of a converted file: "a.flac" -> "a.mp3", "a" -> "a.mp3".
std::string Mp3Name(const std::string& name);

}  // namespace koral
