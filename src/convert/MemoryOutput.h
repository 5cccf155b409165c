// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

struct AVIOContext;

namespace koral::convert {

// A seekable output in memory for a muxer: seekable, so that the MP3
// muxer goes back to write its Xing/Info frame (length and gapless
// padding) when it finishes.
class MemoryOutput {
 public:
  explicit MemoryOutput(std::size_t expectedBytes);
  ~MemoryOutput();
  MemoryOutput(const MemoryOutput&) = delete;
  MemoryOutput& operator=(const MemoryOutput&) = delete;

  AVIOContext* Context() const { return m_context; }
  // Everything written, once the muxer has finished and flushed.
  std::vector<std::uint8_t> TakeBytes();

 private:
  static int Write(void* opaque, std::uint8_t* data, int size);  // FFmpeg 5 has no const here
  static std::int64_t Seek(void* opaque, std::int64_t offset, int whence);

  std::vector<std::uint8_t> m_bytes;
  std::size_t m_position = 0;
  AVIOContext* m_context = nullptr;
};

}  // namespace koral::convert
