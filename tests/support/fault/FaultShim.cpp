// SPDX-License-Identifier: GPL-3.0-or-later
// Preloaded into koralctl by the fault-injection tests: fails chosen system
// calls on chosen files, as a failing or full player would.
//   KORAL_FAULT="CALL:ERROR:MATCH[,CALL:ERROR:MATCH...]"
// CALL is write (write and copy_file_range), sync (sync_file_range calls
// that wait), syncfs, fdatasync, stall (the first write goes through,
// the next one waits until the file KORAL_FAULT_RELEASE names exists, or
// for ever without it: the process is then killed) or slow (each
// write passes at most 1 MiB and takes ERROR milliseconds more: a slow
// player); ERROR is EIO, ENOSPC or EFBIG (ignored for stall); MATCH is a
// text the path of the descriptor must hold.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

enum class Call { Write, Sync, Syncfs, Fdatasync, Stall, Slow };

constexpr size_t kSlowWriteBytes = 1024 * 1024;

struct Fault {
  Call call;
  int error;
  char match[256];
  bool passedOnce;
};

Fault g_faults[8];
int g_faultCount = -1;

bool ParseCall(const char* name, Call& call) {
  static const struct {
    const char* name;
    Call call;
  } kCalls[] = {{"write", Call::Write},         {"sync", Call::Sync},   {"syncfs", Call::Syncfs},
                {"fdatasync", Call::Fdatasync}, {"stall", Call::Stall}, {"slow", Call::Slow}};
  for (const auto& known : kCalls)
    if (std::strcmp(known.name, name) == 0) {
      call = known.call;
      return true;
    }
  return false;
}

int ParseError(const char* name) {
  if (std::strcmp(name, "ENOSPC") == 0) return ENOSPC;
  if (std::strcmp(name, "EFBIG") == 0) return EFBIG;
  return EIO;
}

void LoadFaults() {
  if (g_faultCount >= 0) return;
  g_faultCount = 0;
  const char* faults = std::getenv("KORAL_FAULT");
  if (faults == nullptr) return;
  char copy[2048];
  std::snprintf(copy, sizeof copy, "%s", faults);
  char* save = nullptr;
  for (char* item = strtok_r(copy, ",", &save); item != nullptr && g_faultCount < 8;
       item = strtok_r(nullptr, ",", &save)) {
    char* parts[3] = {item, std::strchr(item, ':'), nullptr};
    if (parts[1] == nullptr) continue;
    *parts[1]++ = '\0';
    parts[2] = std::strchr(parts[1], ':');
    if (parts[2] == nullptr) continue;
    *parts[2]++ = '\0';
    Fault& fault = g_faults[g_faultCount];
    if (!ParseCall(parts[0], fault.call)) continue;
    fault.error = fault.call == Call::Slow ? std::atoi(parts[1]) : ParseError(parts[1]);
    std::snprintf(fault.match, sizeof fault.match, "%s", parts[2]);
    fault.passedOnce = false;
    ++g_faultCount;
  }
}

Fault* FaultFor(Call call, int fd) {
  LoadFaults();
  char link[64];
  char path[4096];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t length = readlink(link, path, sizeof path - 1);
  if (length <= 0) return nullptr;
  path[length] = '\0';
  for (int i = 0; i < g_faultCount; ++i)
    if (g_faults[i].call == call && std::strstr(path, g_faults[i].match) != nullptr) return &g_faults[i];
  return nullptr;
}

// -1 with errno when the call must fail; 1 when it must stall; 0 to go on.
int Inject(Call call, int fd) {
  if (Fault* fault = FaultFor(call, fd)) {
    errno = fault->error;
    return -1;
  }
  if (call != Call::Write) return 0;
  Fault* stall = FaultFor(Call::Stall, fd);
  if (stall == nullptr) return 0;
  if (!stall->passedOnce) {
    stall->passedOnce = true;
    return 0;
  }
  return 1;
}

void Stall() {
  const char* release = std::getenv("KORAL_FAULT_RELEASE");
  for (;;) {
    if (release != nullptr && access(release, F_OK) == 0) return;
    timespec wait{0, 10 * 1000000L};
    nanosleep(&wait, nullptr);
  }
}

// A slow player's write: at most kSlowWriteBytes, after the fault's delay.
size_t SlowDown(int fd, size_t count) {
  const Fault* slow = FaultFor(Call::Slow, fd);
  if (slow == nullptr) return count;
  timespec delay{slow->error / 1000, (slow->error % 1000) * 1000000L};
  while (nanosleep(&delay, &delay) != 0 && errno == EINTR) {
  }
  return count < kSlowWriteBytes ? count : kSlowWriteBytes;
}

template <typename Function>
Function Next(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

ssize_t write(int fd, const void* data, size_t count) {
  static const auto real = Next<ssize_t (*)(int, const void*, size_t)>("write");
  const int injected = Inject(Call::Write, fd);
  if (injected < 0) return -1;
  if (injected > 0) Stall();
  return real(fd, data, SlowDown(fd, count));
}

ssize_t copy_file_range(int in, off64_t* inOffset, int out, off64_t* outOffset, size_t count, unsigned flags) {
  static const auto real = Next<ssize_t (*)(int, off64_t*, int, off64_t*, size_t, unsigned)>("copy_file_range");
  const int injected = Inject(Call::Write, out);
  if (injected < 0) return -1;
  if (injected > 0) Stall();
  return real(in, inOffset, out, outOffset, SlowDown(out, count), flags);
}

int sync_file_range(int fd, off64_t offset, off64_t count, unsigned flags) {
  static const auto real = Next<int (*)(int, off64_t, off64_t, unsigned)>("sync_file_range");
  if ((flags & SYNC_FILE_RANGE_WAIT_AFTER) != 0 && Inject(Call::Sync, fd) < 0) return -1;
  return real(fd, offset, count, flags);
}

int syncfs(int fd) {
  static const auto real = Next<int (*)(int)>("syncfs");
  if (Inject(Call::Syncfs, fd) < 0) return -1;
  return real(fd);
}

int fdatasync(int fd) {
  static const auto real = Next<int (*)(int)>("fdatasync");
  if (Inject(Call::Fdatasync, fd) < 0) return -1;
  return real(fd);
}

}  // extern "C"
