// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/stat.h>

#include <chrono>
#include <filesystem>

#include <QCheckBox>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "core/config/PrivateProfile.h"
#include "core/copy/CopyReport.h"
#include "gui/app/MainDlg.h"
#include "gui/files/FileOp.h"
#include "support/ConfigOption.h"
#include "support/PipeWriterAfter.h"
#include "support/ScopedMount.h"
#include "support/TestEnvironment.h"
#include "support/gui/PromptRecorder.h"
#include "support/gui/TreeRows.h"

namespace fs = std::filesystem;
using koral::test::DoubleClickRow;
using koral::test::EntryNames;
using koral::test::ReadFile;
using koral::test::SelectRows;
using koral::test::WriteFile;

namespace {

struct CopySettings {
  int followPlaylist = 0;
  int copyMode = 0;
  int win98 = 0;
};

void WriteOptions(const koral::test::TestEnvironment& env, const CopySettings& settings) {
  const std::string config = env.ConfigIni().string();
  SetConfigOption("repertoires", "pc", env.ComputerDir().string(), config);
  SetConfigOption("copie", "suivrem3u", settings.followPlaylist, config);
  SetConfigOption("copie", "trackonly", settings.copyMode, config);
  SetConfigOption("copie", "win98", settings.win98, config);
}

QTreeWidget* ComputerList(CMainDlg& dialog) { return dialog.findChild<QTreeWidget*>("computerList"); }

void ClickCopy(CMainDlg& dialog) { QTest::mouseClick(dialog.findChild<QPushButton*>("copyButton"), Qt::LeftButton); }

std::string Content(const std::string& seed, size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 13 + seed.size() * 5 + seed[0]) & 0xFF);
  return bytes;
}

QStringList SortedNames(const fs::path& folder) {
  QStringList names;
  for (const auto& entry : fs::directory_iterator(folder)) names << QString::fromStdString(entry.path().filename());
  names.sort();
  return names;
}

// The computer's folder Album copied by its playlist to the player's root.
koral::CopyJob AlbumByPlaylistJob(const koral::test::TestEnvironment& env) {
  koral::CopyJob job;
  job.sources = {(env.ComputerDir() / "Album").string()};
  job.destinations = {(env.PlayerDir() / "Album").string()};
  job.options.followPlaylist = true;
  return job;
}

}  // namespace

class CopyToPlayerTest final : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    env.Renew();
    prompts.Clear();
  }

  void copiesTheSelectionByteForByteAndRefreshesThePlayerList();
  void followsThePlaylistWithNumberOnlyNamesAndReportsAMissingEntry();
  void totalBarReachesTheEndWhenEveryFileIsUnderOneKilobyte();
  void refusesWhenNeedIsNotBelowTheFreeSpace();
  void refusesAnEmptySelectionAndTheParentRowAlone();
  void refusesAPlayerFolderThatHasBecomeALinkOffThePlayer();
  void unreadablePlaylistClosesTheMainWindow();
  void escapeAndCloseAskBeforeStoppingAndEnterStopsNothing();
  void annulerDropsTheFileBeingWrittenAndTellsWhatWasCopied();
  void fileOpReportsRefusedFilesBeforeCopyingTheOthers();
  void fileOpClosesAtOnceOnAnUnreadablePlaylist();
  void namesThatAreNotUtf8AreCopiedExactlyAsShown();
  void pipeInPlaceOfAPlaylistIsRefusedAndTheWindowStays();
  void namesChangedForThePlayerAreToldAfterTheCopy();
  void renamesShareTheBoxOfWhatWasNotCopied();
  void aFullPlayerNamesTheFilesNeverTriedInTheBox();
  void nothingIsCopiedThroughAMountInsideThePlayer();

 private:
  koral::test::TestEnvironment env;  // each test's own: see init()
  koral::test::PromptRecorder prompts;
};

void CopyToPlayerTest::copiesTheSelectionByteForByteAndRefreshesThePlayerList() {
  const fs::path computer = env.ComputerDir();
  WriteFile(computer / "a.mp3", Content("a", 307201));
  WriteFile(computer / "left.mp3", "not selected");
  WriteFile(computer / "Album" / "01.mp3", Content("01", 5000));
  WriteFile(computer / "Album" / "CD2" / "02.mp3", Content("02", 700000));
  WriteOptions(env, {});
  const QStringList rootBefore = SortedNames(env.PlayerDir().parent_path());
  // A French user: the numbers on screen still take a point.
  QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
  const auto restoreLocale = qScopeGuard([] { QLocale::setDefault(QLocale::c()); });

  CMainDlg dialog(koral::test::CurrentContext());
  dialog.show();
  SelectRows(ComputerList(dialog), {"..", "a.mp3", "Album"});
  ClickCopy(dialog);

  QVERIFY(prompts.messages.empty());
  QCOMPARE(SortedNames(env.PlayerDir()), (QStringList{"Album", "a.mp3"}));
  QCOMPARE(SortedNames(env.PlayerDir().parent_path()), rootBefore);  // ".." copied nothing anywhere
  QVERIFY(ReadFile(env.PlayerDir() / "a.mp3") == Content("a", 307201));
  QVERIFY(ReadFile(env.PlayerDir() / "Album" / "01.mp3") == Content("01", 5000));
  QVERIFY(ReadFile(env.PlayerDir() / "Album" / "CD2" / "02.mp3") == Content("02", 700000));
  auto* playerList = dialog.findChild<QTreeWidget*>("playerList");
  QCOMPARE(playerList->findItems("Album", Qt::MatchExactly, 0).size(), 1);
  QCOMPARE(playerList->findItems("a.mp3", Qt::MatchExactly, 0).size(), 1);
  auto* fileOp = dialog.findChild<CFileOp*>();
  QVERIFY(fileOp != nullptr && !fileOp->isVisible());
  QCOMPARE(fileOp->findChild<QLabel*>("fileCounterLabel")->text(), QString("Fichier : 3 / 3"));
  QCOMPARE(fileOp->findChild<QLabel*>("totalCounterLabel")->text(), QString("Total : 1.0 / 1.0 Mo"));
  const QString rate = fileOp->findChild<QLabel*>("rateLabel")->text();
  QVERIFY2(QRegularExpression("^[0-9]+\\.[0-9] ko/sec$").match(rate).hasMatch(), qPrintable(rate));
  QCOMPARE(fileOp->findChild<QProgressBar*>("totalBar")->value(), 100);
}

void CopyToPlayerTest::followsThePlaylistWithNumberOnlyNamesAndReportsAMissingEntry() {
  const fs::path album = env.ComputerDir() / "Album";
  WriteFile(album / "b.wma", "wma");
  WriteFile(album / "a.mp3", "mp3");
  WriteFile(album / "list.m3u", "#EXTM3U\n#EXTINF:1,B\nb.wma\n#EXTINF:1,Gone\ngone.mp3\n#EXTINF:1,A\na.mp3\n");
  WriteOptions(env, {1, 1, 1});

  CMainDlg dialog(koral::test::CurrentContext());
  dialog.show();
  QVERIFY(dialog.findChild<QCheckBox*>("followPlaylistCheck")->isChecked());
  SelectRows(ComputerList(dialog), {"Album"});
  ClickCopy(dialog);

  QCOMPARE(SortedNames(env.PlayerDir() / "Album"), (QStringList{"01.mp3", "03.mp3"}));
  QCOMPARE(QString::fromStdString(ReadFile(env.PlayerDir() / "Album" / "01.mp3")), QString("wma"));
  QCOMPARE(QString::fromStdString(ReadFile(env.PlayerDir() / "Album" / "03.mp3")), QString("mp3"));
  QCOMPARE(prompts.messages.size(), size_t{1});
  QCOMPARE(prompts.messages[0].title, QString("Copie incomplète"));
  QVERIFY(prompts.messages[0].text.contains("gone.mp3 : fichier introuvable"));
}

void CopyToPlayerTest::totalBarReachesTheEndWhenEveryFileIsUnderOneKilobyte() {
  WriteFile(env.ComputerDir() / "x.txt", std::string(1023, 'x'));
  WriteFile(env.ComputerDir() / "y.txt", "y");
  WriteOptions(env, {});

  CMainDlg dialog(koral::test::CurrentContext());
  dialog.show();
  SelectRows(ComputerList(dialog), {"x.txt", "y.txt"});
  ClickCopy(dialog);

  auto* fileOp = dialog.findChild<CFileOp*>();
  QVERIFY(fileOp != nullptr);
  QCOMPARE(fileOp->findChild<QProgressBar*>("totalBar")->value(), 100);
  QCOMPARE(fileOp->findChild<QProgressBar*>("fileBar")->value(), 100);
  QCOMPARE(fileOp->findChild<QLabel*>("fileCounterLabel")->text(), QString("Fichier : 2 / 2"));
  QCOMPARE(fileOp->findChild<QLabel*>("totalCounterLabel")->text(), QString("Total : 0.0 / 0.0 Mo"));
  QVERIFY(fileOp->findChild<QLabel*>("rateLabel")->text().endsWith(" ko/sec"));
  QCOMPARE(fs::file_size(env.PlayerDir() / "x.txt"), std::uintmax_t{1023});
}

void CopyToPlayerTest::refusesWhenNeedIsNotBelowTheFreeSpace() {
  // A sparse file far larger than any free space, beyond 32 bits.
  WriteFile(env.ComputerDir() / "huge.bin", "");
  fs::resize_file(env.ComputerDir() / "huge.bin", std::uintmax_t{1} << 43);
  WriteFile(env.ComputerDir() / "empty.bin", "");
  WriteOptions(env, {});

  CMainDlg dialog(koral::test::CurrentContext());
  dialog.show();
  SelectRows(ComputerList(dialog), {"huge.bin"});
  ClickCopy(dialog);
  QCOMPARE(prompts.messages.size(), size_t{1});
  QCOMPARE(prompts.messages[0].text, QString("Espace libre insuffisant"));
  QCOMPARE(prompts.messages[0].title, QString("Copie impossible"));
  QVERIFY(!fs::exists(env.PlayerDir() / "huge.bin"));

  // A need of 0 MB against a free space that cannot be queried (0): equal, refused.
  SelectRows(ComputerList(dialog), {"empty.bin"});
  fs::rename(env.PlayerDir(), env.PlayerDir().string() + "-away");
  ClickCopy(dialog);
  fs::rename(env.PlayerDir().string() + "-away", env.PlayerDir());
  QCOMPARE(prompts.messages.size(), size_t{2});
  QCOMPARE(prompts.messages[1].text, QString("Espace libre insuffisant"));
  QVERIFY(!fs::exists(env.PlayerDir() / "empty.bin"));
}

void CopyToPlayerTest::refusesAnEmptySelectionAndTheParentRowAlone() {
  WriteFile(env.ComputerDir() / "a.mp3", "a");
  WriteOptions(env, {});

  CMainDlg dialog(koral::test::CurrentContext());
  dialog.show();
  ClickCopy(dialog);
  SelectRows(ComputerList(dialog), {".."});
  ClickCopy(dialog);

  QCOMPARE(prompts.messages.size(), size_t{2});
  for (const auto& message : prompts.messages) {
    QCOMPARE(message.text, QString("Pas de source à copier"));
    QCOMPARE(message.title, QString("Copie impossible"));
  }
  QVERIFY(fs::is_empty(env.PlayerDir()));
}

void CopyToPlayerTest::refusesAPlayerFolderThatHasBecomeALinkOffThePlayer() {
  WriteFile(env.ComputerDir() / "a.mp3", "a");
  fs::create_directories(env.PlayerDir() / "Music");
  const fs::path elsewhere = env.ComputerDir().parent_path() / "elsewhere";
  fs::create_directories(elsewhere);
  WriteOptions(env, {});

  CMainDlg dialog(koral::test::CurrentContext());
  dialog.show();
  auto* playerList = dialog.findChild<QTreeWidget*>("playerList");
  const QList<QTreeWidgetItem*> rows = playerList->findItems("Music", Qt::MatchExactly, 0);
  QVERIFY(!rows.isEmpty());
  const QPoint at = playerList->visualItemRect(rows.front()).center();
  QTest::mouseClick(playerList->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(playerList->viewport(), Qt::LeftButton, {}, at);
  QCOMPARE(dialog.PlayerFolder(), QString::fromStdString((env.PlayerDir() / "Music").string()));
  fs::remove(env.PlayerDir() / "Music");
  fs::create_directory_symlink(elsewhere, env.PlayerDir() / "Music");
  SelectRows(ComputerList(dialog), {"a.mp3"});
  ClickCopy(dialog);

  QCOMPARE(prompts.messages.size(), size_t{1});
  QVERIFY(prompts.messages[0].text.endsWith("n'est pas sur l'Koral : rien n'a été copié."));
  QCOMPARE(prompts.messages[0].title, QString("Copie impossible"));
  QVERIFY(fs::is_empty(elsewhere));
}

void CopyToPlayerTest::unreadablePlaylistClosesTheMainWindow() {
  WriteFile(env.ComputerDir() / "Album" / "a.mp3", "a");
  fs::create_symlink("nowhere.m3u", env.ComputerDir() / "Album" / "list.m3u");
  WriteOptions(env, {1, 0, 0});

  CMainDlg dialog(koral::test::CurrentContext());
  dialog.show();
  SelectRows(ComputerList(dialog), {"Album"});
  ClickCopy(dialog);

  QCOMPARE(prompts.messages.size(), size_t{1});
  QCOMPARE(prompts.messages[0].text, QString("Echec de l'ouverture de la playlist"));
  QCOMPARE(prompts.messages[0].title, QString("Erreur pas cool"));
  QVERIFY(!dialog.isVisible());
  QVERIFY(fs::is_empty(env.PlayerDir()));
}

void CopyToPlayerTest::escapeAndCloseAskBeforeStoppingAndEnterStopsNothing() {
  prompts.questionAnswers = {false, false};  // "Continuer", twice
  for (int i = 0; i < 16; ++i)
    WriteFile(env.ComputerDir() / "Big" / ("f" + std::to_string(i) + ".bin"), Content("big", 2 * 1024 * 1024));
  WriteOptions(env, {0, 0, 1});  // every chunk committed: the copy takes a while

  CMainDlg dialog(koral::test::CurrentContext());
  dialog.show();
  SelectRows(ComputerList(dialog), {"Big"});
  bool sawCopying = false;
  bool stayedOpen = false;
  QTimer::singleShot(0, &dialog, [&] {
    auto* fileOp = dialog.findChild<CFileOp*>();
    if (fileOp == nullptr || !fileOp->IsCopying()) return;
    sawCopying = true;
    QTest::keyClick(fileOp, Qt::Key_Escape);
    QTest::keyClick(fileOp, Qt::Key_Return);
    fileOp->close();
    stayedOpen = fileOp->isVisible();
  });
  ClickCopy(dialog);

  QVERIFY(sawCopying);
  QVERIFY(stayedOpen);
  QCOMPARE(prompts.questions.size(), std::size_t{2});
  QCOMPARE(prompts.questions[0].text, QStringLiteral("Arrêter la copie ?"));
  QVERIFY(prompts.messages.empty());
  QCOMPARE(SortedNames(env.PlayerDir() / "Big").size(), 16);
  QVERIFY(ReadFile(env.PlayerDir() / "Big" / "f15.bin") == Content("big", 2 * 1024 * 1024));
}

void CopyToPlayerTest::annulerDropsTheFileBeingWrittenAndTellsWhatWasCopied() {
  constexpr int kFiles = 40;
  for (int i = 10; i < 10 + kFiles; ++i)
    WriteFile(env.ComputerDir() / "Big" / ("f" + std::to_string(i) + ".bin"), Content("big", 2 * 1024 * 1024));
  WriteOptions(env, {0, 0, 1});

  CMainDlg dialog(koral::test::CurrentContext());
  dialog.show();
  SelectRows(ComputerList(dialog), {"Big"});
  // Pressed while the third file or a later one is shown.
  int stoppedInFile = 0;
  QTimer poll;
  connect(&poll, &QTimer::timeout, &dialog, [&] {
    auto* fileOp = dialog.findChild<CFileOp*>();
    const auto* bar = fileOp != nullptr ? fileOp->findChild<QProgressBar*>("fileBar") : nullptr;
    if (bar == nullptr) return;
    static const QRegularExpression counter(QStringLiteral("^Fichier : (\\d+) /"));
    const int number = counter.match(fileOp->findChild<QLabel*>("fileCounterLabel")->text()).captured(1).toInt();
    if (number < 3) return;
    poll.stop();
    stoppedInFile = number;
    QTest::mouseClick(fileOp->findChild<QPushButton*>("cancelButton"), Qt::LeftButton);
  });
  poll.start(1);
  ClickCopy(dialog);

  QVERIFY(stoppedInFile >= 3);
  QVERIFY(prompts.questions.empty());  // "Annuler" asks nothing
  // At least the files before the one shown, whole, and no temporary. The
  // label lags the engine on a loaded machine, so files finished between the
  // label and the click are kept too; the copy still stops short of the end.
  const QStringList copied = SortedNames(env.PlayerDir() / "Big");
  const int copiedCount = static_cast<int>(copied.size());
  QVERIFY2(copiedCount >= stoppedInFile - 1 && copiedCount < kFiles, qPrintable(copied.join(' ')));
  QVERIFY(copied.filter(QStringLiteral("koral-part")).isEmpty());
  for (const QString& name : copied)
    QVERIFY(ReadFile(env.PlayerDir() / "Big" / name.toStdString()) == Content("big", 2 * 1024 * 1024));
  QCOMPARE(prompts.messages.size(), std::size_t{1});
  QCOMPARE(prompts.messages[0].text,
           QString::fromStdString(koral::FormatCancelledCopy(copiedCount, kFiles - copiedCount)));
  QCOMPARE(prompts.messages[0].title, QStringLiteral("Copie annulée"));
  const auto* playerList = dialog.findChild<QTreeWidget*>("playerList");
  QVERIFY(!playerList->findItems(QStringLiteral("Big"), Qt::MatchExactly).isEmpty());  // the list was read again
}

void CopyToPlayerTest::fileOpReportsRefusedFilesBeforeCopyingTheOthers() {
  WriteFile(env.ComputerDir() / "big.bin", std::string(5000, 'b'));
  WriteFile(env.ComputerDir() / "small.bin", "small");
  koral::CopyJob job;
  for (const char* name : {"big.bin", "small.bin"}) {
    job.sources.push_back((env.ComputerDir() / name).string());
    job.destinations.push_back((env.PlayerDir() / name).string());
  }
  job.maxFileSize = 4999;  // stands for the 4 GiB limit of a FAT player

  CFileOp fileOp;
  fileOp.RunJob(job);

  QCOMPARE(prompts.messages.size(), size_t{1});
  QCOMPARE(prompts.messages[0].title, QString("Copie incomplète"));
  QVERIFY(prompts.messages[0].text.startsWith("Ces éléments ne seront pas copiés :"));
  QVERIFY(prompts.messages[0].text.contains("big.bin : fichier de 4 Go ou plus"));
  QCOMPARE(SortedNames(env.PlayerDir()), QStringList{"small.bin"});
  QCOMPARE(fileOp.findChild<QLabel*>("fileCounterLabel")->text(), QString("Fichier : 1 / 1"));
}

void CopyToPlayerTest::fileOpClosesAtOnceOnAnUnreadablePlaylist() {
  WriteFile(env.ComputerDir() / "Album" / "a.mp3", "a");
  fs::create_symlink("nowhere.m3u", env.ComputerDir() / "Album" / "list.m3u");

  CFileOp fileOp;
  fileOp.RunJob(AlbumByPlaylistJob(env));

  QVERIFY(!fileOp.IsCopying());
  QCOMPARE(prompts.messages.size(), size_t{1});
  QCOMPARE(prompts.messages[0].text, QString("Echec de l'ouverture de la playlist"));
  QCOMPARE(prompts.messages[0].title, QString("Erreur pas cool"));
  QVERIFY(fs::is_empty(env.PlayerDir()));
}

// "\xE9t\xE9" is "été" in Windows-1252; the file beside it is spelt with
// U+FFFD, which is what a lossy decoding of the first name gives.
void CopyToPlayerTest::namesThatAreNotUtf8AreCopiedExactlyAsShown() {
  const std::string latin = "\xE9t\xE9.mp3";
  const std::string replaced = "\xEF\xBF\xBDt\xEF\xBF\xBD.mp3";
  const std::string folder = "Dossier \xE9t\xE9";
  const fs::path computer = env.ComputerDir();
  for (const std::string& name : {latin, replaced, folder + "/" + latin, folder + "/" + replaced})
    WriteFile(computer / name, "from " + name);
  WriteOptions(env, {});

  CMainDlg dialog(koral::test::CurrentContext());
  dialog.show();
  SelectRows(ComputerList(dialog), {"été.mp3", "Dossier été"});
  ClickCopy(dialog);
  QVERIFY(prompts.messages.empty());
  QCOMPARE(EntryNames(env.PlayerDir()), (std::vector<std::string>{folder, latin}));
  QCOMPARE(ReadFile(env.PlayerDir() / latin), "from " + latin);
  QCOMPARE(EntryNames(env.PlayerDir() / folder), (std::vector<std::string>{latin, replaced}));

  // From inside that folder: the computer folder keeps its bytes too.
  fs::remove_all(env.PlayerDir() / folder);
  DoubleClickRow(ComputerList(dialog), "Dossier été");
  SelectRows(ComputerList(dialog), {"\uFFFDt\uFFFD.mp3"});
  ClickCopy(dialog);
  QVERIFY(prompts.messages.empty());
  QCOMPARE(EntryNames(env.PlayerDir()), (std::vector<std::string>{latin, replaced}));
  QCOMPARE(ReadFile(env.PlayerDir() / replaced), "from " + folder + "/" + replaced);
}

void CopyToPlayerTest::pipeInPlaceOfAPlaylistIsRefusedAndTheWindowStays() {
  WriteFile(env.ComputerDir() / "Album" / "a.mp3", "a");
  const fs::path pipe = env.ComputerDir() / "Album" / "list.m3u";
  QCOMPARE(mkfifo(pipe.c_str(), 0600), 0);
  const koral::test::PipeWriterAfter release(pipe, std::chrono::seconds(3));  // a frozen window would wake only then
  WriteOptions(env, {1, 0, 0});

  CMainDlg dialog(koral::test::CurrentContext());
  dialog.show();
  SelectRows(ComputerList(dialog), {"Album"});
  const auto start = std::chrono::steady_clock::now();
  ClickCopy(dialog);

  QVERIFY(std::chrono::steady_clock::now() - start < std::chrono::seconds(2));
  QCOMPARE(prompts.messages.size(), size_t{1});
  QCOMPARE(prompts.messages[0].text,
           QString::fromStdString("La playlist n'est pas un fichier ordinaire : " + pipe.string()));
  QCOMPARE(prompts.messages[0].title, QString("Erreur pas cool"));
  QVERIFY(dialog.isVisible());
  QVERIFY(fs::is_empty(env.PlayerDir()));

  // The pre-count of the progress dialog refuses it the same way.
  CFileOp fileOp;
  fileOp.RunJob(AlbumByPlaylistJob(env));
  QCOMPARE(prompts.messages.size(), size_t{2});
  QCOMPARE(prompts.messages[1].text, prompts.messages[0].text);
  QVERIFY(fs::is_empty(env.PlayerDir()));
}

void CopyToPlayerTest::namesChangedForThePlayerAreToldAfterTheCopy() {
  WriteFile(env.ComputerDir() / "a:b?.mp3", "ab");
  WriteFile(env.ComputerDir() / "What? Live" / "x*.mp3", "x");
  WriteFile(env.ComputerDir() / "What? Live" / "fine.mp3", "fine");
  WriteOptions(env, {});

  CMainDlg dialog(koral::test::CurrentContext());
  dialog.show();
  SelectRows(ComputerList(dialog), {"a:b?.mp3", "What? Live"});
  ClickCopy(dialog);

  QCOMPARE(prompts.messages.size(), size_t{1});
  QCOMPARE(prompts.messages[0].title, QString("Copie terminée"));
  QCOMPARE(prompts.messages[0].text, QString("renommé : a:b?.mp3 → a_b_.mp3\n"
                                             "renommé : What? Live → What_ Live\n"
                                             "renommé : x*.mp3 → x_.mp3"));
  QCOMPARE(QString::fromStdString(ReadFile(env.PlayerDir() / "a_b_.mp3")), QString("ab"));
  QCOMPARE(SortedNames(env.PlayerDir() / "What_ Live"), (QStringList{"fine.mp3", "x_.mp3"}));
  auto* playerList = dialog.findChild<QTreeWidget*>("playerList");
  QCOMPARE(playerList->findItems("a_b_.mp3", Qt::MatchExactly, 0).size(), 1);
}

void CopyToPlayerTest::renamesShareTheBoxOfWhatWasNotCopied() {
  const fs::path album = env.ComputerDir() / "Album";
  WriteFile(album / "a:b.mp3", "ab");
  WriteFile(album / "list.m3u", "gone.mp3\na:b.mp3\n");

  CFileOp fileOp;
  fileOp.RunJob(AlbumByPlaylistJob(env));

  QCOMPARE(prompts.messages.size(), size_t{1});
  QCOMPARE(prompts.messages[0].title, QString("Copie incomplète"));
  const QString text = prompts.messages[0].text;
  QVERIFY2(text.startsWith("Ces éléments n'ont pas été copiés :\n"), qPrintable(text));
  QVERIFY2(text.contains("gone.mp3 : fichier introuvable"), qPrintable(text));
  QVERIFY2(text.endsWith("\n\nrenommé : 02 - a:b.mp3 → 02 - a_b.mp3"), qPrintable(text));
  QCOMPARE(SortedNames(env.PlayerDir() / "Album"), QStringList{"02 - a_b.mp3"});
}

void CopyToPlayerTest::aFullPlayerNamesTheFilesNeverTriedInTheBox() {
  const koral::test::ScopedMount small(env.PlayerDir(), "size=256k");
  if (!small.Held()) QSKIP("a small volume cannot be mounted here");
  koral::CopyJob job;
  constexpr int kFiles = 40;
  for (int i = 1; i <= kFiles; ++i) {
    // Names to change: none of them is told, as none was written under its new name.
    const std::string name = QStringLiteral("t%1?.mp3").arg(i, 2, 10, QLatin1Char('0')).toStdString();
    WriteFile(env.ComputerDir() / name, Content(name, 100 * 1024));
    job.sources.push_back((env.ComputerDir() / name).string());
    job.destinations.push_back((env.PlayerDir() / name).string());
  }

  CFileOp fileOp;
  fileOp.RunJob(job);

  QCOMPARE(prompts.messages.size(), size_t{1});
  const QString text = prompts.messages[0].text;
  const QRegularExpressionMatch stop =
      QRegularExpression("\nL'Koral est plein : la copie a été arrêtée, (\\d+) non copiés :\n").match(text);
  QVERIFY2(stop.hasMatch(), qPrintable(text));
  const int notTried = stop.captured(1).toInt();
  const int copied = static_cast<int>(SortedNames(env.PlayerDir()).size());
  QCOMPARE(copied + 1 + notTried, kFiles);  // one filled the player
  QVERIFY2(notTried > static_cast<int>(koral::kEntriesListedInABox), qPrintable(text));
  QCOMPARE(text.count("\nnon copié : "), static_cast<qsizetype>(koral::kEntriesListedInABox));
  const QString failures = text.section(QStringLiteral("\n\n"), 0, 0);
  QVERIFY2(failures.endsWith(
               QStringLiteral("\n... et %1 autres.").arg(notTried - static_cast<int>(koral::kEntriesListedInABox))),
           qPrintable(text));
  // Only the files written are told as renamed.
  QCOMPARE(text.count("renommé : "), static_cast<qsizetype>(copied));
  const std::string firstNotTried = QStringLiteral("t%1?.mp3").arg(copied + 2, 2, 10, QLatin1Char('0')).toStdString();
  QVERIFY2(
      text.contains(QString::fromStdString("\nnon copié : " + (env.ComputerDir() / firstNotTried).string() + "\n")),
      qPrintable(text));
  QVERIFY2(!text.contains("renommé : t" + QStringLiteral("%1").arg(copied + 1, 2, 10, QLatin1Char('0'))),
           qPrintable(text));
}

void CopyToPlayerTest::nothingIsCopiedThroughAMountInsideThePlayer() {
  const fs::path outside = env.ComputerDir().parent_path() / "outside";
  WriteFile(outside / "a.mp3", "precious");
  WriteFile(env.ComputerDir() / "a.mp3", "overwriting");
  WriteFile(env.ComputerDir() / "Album" / "b.mp3", "b");
  fs::create_directories(env.PlayerDir() / "Bound");
  const koral::test::ScopedMount bound(outside, env.PlayerDir() / "Bound");
  if (!bound.Held()) QSKIP("nothing can be mounted here");
  WriteOptions(env, {});

  CMainDlg dialog(koral::test::CurrentContext());
  dialog.show();
  DoubleClickRow(dialog.findChild<QTreeWidget*>("playerList"), "Bound");
  QCOMPARE(dialog.PlayerFolder(), QString::fromStdString((env.PlayerDir() / "Bound").string()));
  SelectRows(ComputerList(dialog), {"a.mp3", "Album"});
  ClickCopy(dialog);

  QCOMPARE(SortedNames(outside), QStringList{"a.mp3"});
  QCOMPARE(ReadFile(outside / "a.mp3"), std::string("precious"));
  QCOMPARE(prompts.messages.size(), size_t{1});
  QCOMPARE(prompts.messages[0].title, QString("Copie incomplète"));
  const QString mount = QString::fromStdString((env.PlayerDir() / "Bound").string());
  QVERIFY2(prompts.messages[0].text.contains(mount + " : autre volume monté dans l'Koral : rien n'y a été copié"),
           qPrintable(prompts.messages[0].text));
  QCOMPARE(prompts.messages[0].text.count("autre volume"), 1);
}

QTEST_MAIN(CopyToPlayerTest)
#include "CopyToPlayerTest.moc"
