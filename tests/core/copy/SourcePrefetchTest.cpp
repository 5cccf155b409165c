// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/copy/SourcePrefetch.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <set>
#include <string>

#include "core/platform/FileDescriptor.h"
#include "support/TestEnvironment.h"

namespace koral {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteFile;

// The files of a folder that anyone opens, as the kernel tells them.
class OpenWatch {
 public:
  explicit OpenWatch(const fs::path& folder) : m_inotify(inotify_init1(IN_CLOEXEC)) {
    inotify_add_watch(m_inotify.Get(), folder.c_str(), IN_OPEN);
  }

  // Blocks until `name` has been opened; false if it never is (a minute
  // guards the test from hanging, not a bound on the prefetch).
  bool WaitFor(const std::string& name) {
    while (opened.count(name) == 0) {
      pollfd ready{m_inotify.Get(), POLLIN, 0};
      if (poll(&ready, 1, 60000) != 1) return false;
      Read();
    }
    return true;
  }

  std::set<std::string> opened;

 private:
  void Read() {
    alignas(inotify_event) char buffer[sizeof(inotify_event) + NAME_MAX + 1];
    const ssize_t length = read(m_inotify.Get(), buffer, sizeof buffer);
    for (ssize_t at = 0; at < length;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      if (event->len > 0) opened.insert(event->name);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }

  FileDescriptor m_inotify;
};

std::string Name(int i) { return "track" + std::to_string(100 + i) + ".mp3"; }

CopyStep FileStep(const fs::path& source) { return {CopyStep::Kind::CopyFile, source.string(), "/player/x"}; }

class SourcePrefetchTest : public ::testing::Test {
 protected:
  // A plan of `count` small files.
  void PlanFiles(int count) {
    for (int i = 0; i < count; ++i) {
      WriteFile(folder / Name(i), "bytes");
      plan.steps.push_back(FileStep(folder / Name(i)));
    }
  }

  TempDir folder;
  CopyPlan plan;
};

TEST_F(SourcePrefetchTest, OnlySmallRegularFilesAheadOfTheCopyAreOpened) {
  WriteFile(folder / "first.mp3", "the copy reads it itself");
  WriteFile(folder / "large.flac", std::string(2 * 1024 * 1024, 'x'));
  ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0600), 0);
  WriteFile(folder / "small.mp3", "read ahead");
  WriteFile(folder / "last.mp3", "read ahead too");
  plan.steps = {
      FileStep(folder / "first.mp3"), FileStep(folder / "large.flac"),
      FileStep(folder / "pipe"),      {CopyStep::Kind::MakeFolder, (folder / "Album").string(), "/player/Album"},
      FileStep(folder / "small.mp3"), FileStep(folder / "last.mp3")};
  OpenWatch watch(folder.Path());
  CSourcePrefetch prefetch(plan);
  ASSERT_TRUE(watch.WaitFor("last.mp3"));  // steps are taken in order: all before it are done
  EXPECT_EQ(watch.opened, (std::set<std::string>{"small.mp3", "last.mp3"}));
}

TEST_F(SourcePrefetchTest, StaysAFewStepsAheadOfTheCopyAndFollowsIt) {
  PlanFiles(60);
  OpenWatch watch(folder.Path());
  CSourcePrefetch prefetch(plan);
  ASSERT_TRUE(watch.WaitFor(Name(16)));
  EXPECT_EQ(watch.opened.count(Name(17)), 0u);  // sixteen steps ahead at most
  EXPECT_EQ(watch.opened.count(Name(0)), 0u);

  prefetch.Reached(12);
  ASSERT_TRUE(watch.WaitFor(Name(28)));
  EXPECT_EQ(watch.opened.count(Name(29)), 0u);
  prefetch.Reached(30);
  EXPECT_TRUE(watch.WaitFor(Name(46)));
}

TEST_F(SourcePrefetchTest, StepsTheCopyHasPassedAreNotRead) {
  PlanFiles(60);
  OpenWatch watch(folder.Path());
  CSourcePrefetch prefetch(plan);
  ASSERT_TRUE(watch.WaitFor(Name(16)));
  prefetch.Reached(40);  // the copy went faster than the disk
  ASSERT_TRUE(watch.WaitFor(Name(56)));
  for (int i = 17; i <= 40; ++i) EXPECT_EQ(watch.opened.count(Name(i)), 0u) << i;
}

TEST_F(SourcePrefetchTest, EndsAtOnceWhenTheCopyStopsWhileItWaitsAhead) {
  PlanFiles(60);
  OpenWatch watch(folder.Path());
  {
    CSourcePrefetch prefetch(plan);
    ASSERT_TRUE(watch.WaitFor(Name(16)));
  }  // joins its thread, which waits for the copy to move on
  EXPECT_EQ(watch.opened.size(), 16u);

  const CopyPlan empty;
  const CSourcePrefetch nothing(empty);
}

}  // namespace
}  // namespace koral
