// SPDX-License-Identifier: GPL-3.0-or-later
// Run under LC_ALL=C.UTF-8, as the other tests: the file dialogs' cells
// still read in French, and the environment and the C library keep theirs.
#include <clocale>

#include <QApplication>
#include <QFileSystemModel>
#include <QTest>

#include "gui/app/FrenchFormats.h"
#include "support/TestEnvironment.h"

class FrenchFormatsTest final : public QObject {
  Q_OBJECT

 private slots:
  void theFileDialogsCellsAreFrench() {
    koral::test::TempDir folder;
    koral::test::WriteFile(folder / "notes.txt", std::string(52, 'a'));
    koral::test::WriteFile(folder / "piste.txt", std::string(16384, 'b'));
    QFileSystemModel model;  // what QFileDialog shows
    const QModelIndex root = model.setRootPath(QString::fromStdString(folder.Path().string()));
    QTRY_COMPARE(model.rowCount(root), 2);
    const QModelIndex notes = model.index(QString::fromStdString((folder / "notes.txt").string()));
    const QModelIndex piste = model.index(QString::fromStdString((folder / "piste.txt").string()));
    QCOMPARE(notes.siblingAtColumn(1).data().toString(), QStringLiteral("52 octets"));
    QCOMPARE(piste.siblingAtColumn(1).data().toString(), QStringLiteral("16,00 Kio"));
    QTRY_COMPARE(notes.siblingAtColumn(2).data().toString(), QStringLiteral("document texte brut"));
  }

  void datesAreFrench() {
    const QDateTime when(QDate(2024, 3, 5), QTime(14, 7));
    QCOMPARE(QLocale::system().toString(when, QLocale::ShortFormat), QStringLiteral("05/03/2024 14:07"));
    QCOMPARE(QLocale().toString(when, QStringLiteral("dddd d MMMM")), QStringLiteral("mardi 5 mars"));
  }

  void theEnvironmentAndTheCLibraryKeepTheUsersLocale() {
    QCOMPARE(qgetenv("LC_ALL"), QByteArray("C.UTF-8"));
    QCOMPARE(QByteArray(std::setlocale(LC_CTYPE, nullptr)), QByteArray("C.UTF-8"));
    // File names stay UTF-8.
    QCOMPARE(QFile::encodeName(QStringLiteral("Été")), QByteArray("\xc3\x89t\xc3\xa9"));
  }
};

int main(int argc, char** argv) {
  UseFrenchQtFormats();  // as the program does, before the application object
  QApplication application(argc, argv);
  FrenchFormatsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "FrenchFormatsTest.moc"
