// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/MemoryOutput.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "convert/FfmpegHandles.h"

namespace koral::convert {
namespace {

constexpr int kBufferBytes = 64 * 1024;

}  // namespace

MemoryOutput::MemoryOutput(std::size_t expectedBytes) {
  m_bytes.reserve(expectedBytes);
  auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
  if (buffer != nullptr) m_context = avio_alloc_context(buffer, kBufferBytes, 1, this, nullptr, &Write, &Seek);
  if (m_context == nullptr) {
    av_free(buffer);
    throw std::bad_alloc();
  }
}

MemoryOutput::~MemoryOutput() {
  av_freep(&m_context->buffer);
  avio_context_free(&m_context);
}

std::vector<std::uint8_t> MemoryOutput::TakeBytes() {
  avio_flush(m_context);
  return std::move(m_bytes);
}

int MemoryOutput::Write(void* opaque, std::uint8_t* data, int size) {
  auto* self = static_cast<MemoryOutput*>(opaque);
  const std::size_t end = self->m_position + static_cast<std::size_t>(size);
  if (end > self->m_bytes.size()) self->m_bytes.resize(end);
  std::memcpy(self->m_bytes.data() + self->m_position, data, static_cast<std::size_t>(size));
  self->m_position = end;
  return size;
}

std::int64_t MemoryOutput::Seek(void* opaque, std::int64_t offset, int whence) {
  auto* self = static_cast<MemoryOutput*>(opaque);
  const auto size = static_cast<std::int64_t>(self->m_bytes.size());
  std::int64_t target = 0;
  switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return size;
    case SEEK_SET: target = offset; break;
    case SEEK_CUR: target = static_cast<std::int64_t>(self->m_position) + offset; break;
    case SEEK_END: target = size + offset; break;
    default: return AVERROR(EINVAL);
  }
  if (target < 0) return AVERROR(EINVAL);
  self->m_position = static_cast<std::size_t>(target);
  return target;
}

}  // namespace koral::convert
