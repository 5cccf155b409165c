// SPDX-License-Identifier: GPL-3.0-or-later
// Times the main window listing a folder of 10,000 files into the computer
// list (rows, sizes, icons, default order), as a double click does it.

#include <QApplication>
#include <QHeaderView>
#include <QTreeWidget>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iomanip>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/config/PrivateProfile.h"
#include "core/files/FolderListing.h"
#include "core/platform/Volumes.h"
#include "gui/app/MainDlg.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 10000;
constexpr int kRuns = 5;
constexpr double kBarSeconds = 0.3;
const char* const kExtensions[] = {"mp3", "ogg", "wma", "wav", "m3u", "txt", "jpg", "flac", "MP3", ""};

// A sandbox folder, removed at the end.
struct Sandbox {
  Sandbox() {
    std::string pattern = (fs::temp_directory_path() / "koral-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::exit(2);
    root = pattern;
  }
  ~Sandbox() {
    std::error_code error;
    fs::remove_all(root, error);
  }
  fs::path root;
};

void MakeBigFolder(const fs::path& folder) {
  fs::create_directories(folder);
  for (int i = 0; i < kFiles; ++i) {
    const std::string extension = kExtensions[i % std::size(kExtensions)];
    const std::string name = "piste " + std::to_string(i) + (extension.empty() ? "" : "." + extension);
    std::ofstream(folder / name) << std::string(static_cast<size_t>(i % 4096), 'x');
  }
  for (int i = 0; i < 20; ++i) fs::create_directory(folder / ("dossier " + std::to_string(i)));
}

void PrepareProgramFolder(const fs::path& root, const fs::path& computer) {
  const fs::path config = root / "config";
  fs::create_directories(config);
  fs::create_directories(root / "player");
  fs::copy_file(fs::path(KORAL_SOURCE_DIR) / "res" / "Config.ini", config / "Config.ini");
  fs::copy_file(fs::path(KORAL_SOURCE_DIR) / "res" / "Radios.ini", config / "Radios.ini");
  if (koral::WritePrivateProfileString("repertoires", "pc", computer.string(), config / "Config.ini") !=
      koral::FileWriteStatus::kWritten)
    throw std::runtime_error("Config.ini not written");
  setenv("KORAL_CONFIG_DIR", config.c_str(), 1);
  setenv("KORAL_PLAYER", (root / "player").c_str(), 1);
  setenv("XDG_STATE_HOME", (root / "state").c_str(), 1);
  setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
}

QTreeWidgetItem* Row(QTreeWidget* list, const QString& name) {
  const QList<QTreeWidgetItem*> rows = list->findItems(name, Qt::MatchExactly, 0);
  return rows.isEmpty() ? nullptr : rows.front();
}

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Report(const char* what, const std::vector<double>& seconds) {
  std::cout << "  " << std::left << std::setw(24) << what << std::right << "best "
            << *std::min_element(seconds.begin(), seconds.end()) << " s  worst "
            << *std::max_element(seconds.begin(), seconds.end()) << " s  first " << seconds.front() << " s\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);

  Sandbox sandbox;
  const fs::path computer = sandbox.root / "computer";
  MakeBigFolder(computer / "big");
  PrepareProgramFolder(sandbox.root, computer);
  const koral::FixedVolumeSource volumes({{sandbox.root.string(), "/dev/bench", false}});
  koral::SetVolumeSourceForTesting(&volumes);

  std::vector<double> core;
  for (int run = 0; run < kRuns; ++run)
    core.push_back(Seconds([&] { koral::ListFolder((computer / "big").string(), true); }));

  std::vector<double> window;
  std::vector<double> sort;
  int rows = 0;
  {
    koral::RunContext context = koral::RunContextFromEnvironment(std::getenv);  // as the program reads it
    CMainDlg dialog(context);
    dialog.show();
    QTreeWidget* list = dialog.findChild<QTreeWidget*>("computerList");
    for (int run = 0; run < kRuns; ++run) {
      QTreeWidgetItem* big = Row(list, "big");
      if (big == nullptr) return 2;
      window.push_back(Seconds([&] { emit list->itemDoubleClicked(big, 0); }));
      rows = list->topLevelItemCount();
      sort.push_back(Seconds([&] { emit list->header()->sectionClicked(0); }));
      emit list->itemDoubleClicked(Row(list, ".."), 0);
    }
  }
  koral::SetVolumeSourceForTesting(nullptr);

  const double worst = *std::max_element(window.begin(), window.end());
  // iostreams keep the classic locale: a point whatever the user's locale.
  std::cout << std::fixed << std::setprecision(3) << "folder of " << kFiles << " files (" << rows << " rows), " << kRuns
            << " runs\n";
  Report("core listing", core);
  Report("sort by name", sort);
  Report("window listing, icons", window);
  std::cout << "listing: " << worst << " s (bar " << kBarSeconds << " s) " << (worst < kBarSeconds ? "ok" : "TOO SLOW")
            << std::endl;
  return worst < kBarSeconds ? 0 : 1;
}
