// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <streambuf>

#include "cli/Commands.h"
#include "support/KoralctlProcess.h"
#include "support/KoralctlRun.h"
#include "support/TestEnvironment.h"

namespace {

namespace fs = std::filesystem;
using koral::test::Koralctl;
using koral::test::TestEnvironment;
using koral::test::WriteFile;
using Result = koral::test::KoralctlResult;

constexpr const char* kTryHelp = "Essayez « koralctl --help ».\n";

TEST(KoralctlOptions, VersionComesFromTheProjectAndTellsTheLicence) {
  const Result version = Koralctl({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind(std::string("koralctl ") + KORAL_VERSION + "\nLicence GPLv3+ : GNU GPL version 3", 0), 0u)
      << version.out;
  EXPECT_EQ(version.err, "");
}

TEST(KoralctlOptions, AValueFollowsAnEqualsSignOrComesAsTheNextWord) {
  TestEnvironment env;
  const std::string player = env.PlayerDir().string();
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {"--player=" + player, "detect"}, {"--player", player, "detect"}, {"--pl=" + player, "detect"}}) {
    const Result detected = Koralctl(arguments);
    EXPECT_EQ(detected.status, 0) << arguments[0] << detected.err;
    EXPECT_EQ(detected.out, player + "\n") << arguments[0];
  }
  EXPECT_EQ(Koralctl({"--firmware=118.2", "firmware", "list"}).out, "* 118.2\n  119.0\n");
  WriteFile(env.ComputerDir() / "other/Config.ini", "[firmware]\nversion=7\nversionsdispo=7 8\n");
  EXPECT_EQ(Koralctl({"--config-dir=" + (env.ComputerDir() / "other").string(), "firmware", "list"}).out, "* 7\n  8\n");
}

TEST(KoralctlOptions, DoubleDashEndsTheOptions) {
  TestEnvironment env;
  EXPECT_EQ(Koralctl({"--", "detect"}).status, 0);
  const Result command = Koralctl({"--", "--help"});
  EXPECT_EQ(command.status, 2);
  EXPECT_EQ(command.err, std::string("Commande inconnue : --help\n") + kTryHelp);

  WriteFile(env.PlayerDir() / "-x.mp3", "x");
  EXPECT_EQ(Koralctl({"rm", "-x.mp3"}).err, std::string("Option inconnue : -x\n") + kTryHelp);
  EXPECT_TRUE(fs::exists(env.PlayerDir() / "-x.mp3"));
  EXPECT_EQ(Koralctl({"rm", "--", "-x.mp3"}).status, 0);
  EXPECT_FALSE(fs::exists(env.PlayerDir() / "-x.mp3"));
}

TEST(KoralctlOptions, AUsageErrorIsOneLineAndWhereToLook) {
  TestEnvironment env;
  env.SetSettingsImage();
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{}, "Commande manquante."},
      {{"nonsense"}, "Commande inconnue : nonsense"},
      {{"--bogus", "detect"}, "Option inconnue : --bogus"},
      {{"-q"}, "Option inconnue : -q"},
      {{"--player"}, "L'option --player demande une valeur (DOSSIER)."},
      {{"--version=2"}, "L'option --version ne prend pas de valeur."},
      {{"detect", "extra"}, "Utilisation : koralctl detect [--json]"},
      {{"eq"}, "Sous-commande manquante pour eq : show, set ou select."},
      {{"eq", "bad"}, "Sous-commande inconnue pour eq : bad (show, set ou select)."},
      {{"eq", "set", "1"}, "Utilisation : koralctl eq set PRESET G62 G250 G1K G4K G16K"},
      {{"eq", "select", "Disco"}, "Preset invalide : Disco (un preset de 0 à 11 ou son nom)."},
      {{"radio", "show", "--json=1"}, "L'option --json ne prend pas de valeur."},
      {{"radio", "set", "Z", "88.0"}, "Mémoire inconnue : Z (une lettre de A à T)."},
      {{"copy", "a.mp3", "--to"}, "L'option --to demande une valeur (DOSSIER)."},
      {{"settings", "set", "volume", "1"}, "Réglage inconnu : volume"},
      {{"settings", "set", "contrast", "11"},
       "Valeur invalide pour contrast : 11. Valeurs possibles : un niveau de 0 à 10."},
  };
  for (const auto& [arguments, line] : cases) {
    const Result result = Koralctl(arguments);
    EXPECT_EQ(result.status, 2) << line;
    EXPECT_EQ(result.out, "") << line;
    EXPECT_EQ(result.err, line + "\n" + kTryHelp);
  }
  // The choices of a setting fit on the same line.
  const Result hidden = Koralctl({"settings", "set", "vitessedefil", "5"});
  EXPECT_EQ(hidden.err.rfind("Valeur invalide pour vitessedefil : 5. Valeurs possibles : 0 : ", 0), 0u) << hidden.err;
  EXPECT_EQ(std::count(hidden.err.begin(), hidden.err.end(), '\n'), 2) << hidden.err;
}

TEST(KoralctlOptions, EachCommandExplainsItselfWithHelp) {
  TestEnvironment env;
  const std::string overview = Koralctl({"--help"}).out;
  for (const auto& command : koral::cli::AllCommands()) {
    const std::string name(command->Name());
    const Result help = Koralctl({name, "--help"});
    EXPECT_EQ(help.status, 0) << name;
    EXPECT_EQ(help.err, "") << name;
    EXPECT_EQ(help.out.rfind("Utilisation : koralctl [OPTION...] " + name, 0), 0u) << help.out;
    EXPECT_NE(help.out.find("-h, --help"), std::string::npos) << name;
    EXPECT_EQ(Koralctl({name, "-h"}).out, help.out);
    for (const auto& form : command->Forms()) {
      EXPECT_NE(help.out.find("\n  " + command->Syntax(form)), std::string::npos) << help.out;
      EXPECT_NE(overview.find("\n  " + command->Syntax(form)), std::string::npos) << name;
      if (form.subcommand.empty()) continue;
      const Result formHelp = Koralctl({name, form.subcommand, "--help"});
      EXPECT_EQ(formHelp.out, help.out) << name << ' ' << form.subcommand;
    }
  }
  EXPECT_NE(Koralctl({"copy", "--help"}).out.find("--to=DOSSIER"), std::string::npos);
}

TEST(KoralctlOptions, TheOptionsOfCopyMayFollowItsSources) {
  TestEnvironment env;
  WriteFile(env.ComputerDir() / "a.mp3", "a");
  fs::create_directories(env.PlayerDir() / "Music");
  const Result copied = Koralctl({"copy", (env.ComputerDir() / "a.mp3").string(), "--to=Music"});
  EXPECT_EQ(copied.status, 0) << copied.err;
  EXPECT_TRUE(fs::exists(env.PlayerDir() / "Music/a.mp3"));
}

// A standard output whose every write fails, as on a full disk.
class FullOutput final : public std::streambuf {
 protected:
  int_type overflow(int_type) override { return traits_type::eof(); }
  std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST(KoralctlOptions, OutputThatCannotBeWrittenFailsTheCommand) {
  TestEnvironment env;
  env.SetSettingsImage();
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {"--help"}, {"--version"}, {"detect"}, {"eq", "show"}, {"firmware", "list", "--json"}}) {
    FullOutput full;
    std::ostream out(&full);
    std::ostringstream err;
    EXPECT_EQ(koral::cli::RunKoralctl(arguments, env.Context(), out, err), 1) << arguments[0];
    EXPECT_EQ(err.str(), "koralctl : erreur d'écriture sur la sortie standard.\n") << arguments[0];
  }
  // A failure keeps its own status.
  FullOutput full;
  std::ostream out(&full);
  std::ostringstream err;
  EXPECT_EQ(koral::cli::RunKoralctl({"nonsense"}, env.Context(), out, err), 2);

  // The real process: its output is buffered until it ends.
  koral::test::KoralctlProcess::Options toFullDisk;
  toFullDisk.outputPath = "/dev/full";
  const koral::test::ProcessOutcome shown = koral::test::RunKoralctlProcess({"eq", "show"}, toFullDisk);
  EXPECT_EQ(shown.status, 1);
  EXPECT_EQ(shown.err, "koralctl : erreur d'écriture sur la sortie standard.\n");
}

TEST(KoralctlOptions, FirmwareOptionNamesAVersionConfigIniKnows) {
  TestEnvironment env;
  env.SetSettingsImage();
  const Result unknown = Koralctl({"--firmware=999", "settings", "show"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.out, "");
  EXPECT_EQ(unknown.err,
            std::string("Version de firmware inconnue : 999 (versions connues : 118.2, 119.0).\n") + kTryHelp);
  EXPECT_EQ(Koralctl({"--firmware=999", "eq", "show"}).status, 2);
  EXPECT_EQ(Koralctl({"--firmware=119.0", "settings", "show"}).status, 0);
  // A command that does not read Config.ini does not care.
  EXPECT_EQ(Koralctl({"--firmware=999", "detect"}).status, 0);
}

TEST(KoralctlOptions, AConfigFolderWithoutConfigIniIsNamed) {
  TestEnvironment env;
  env.SetSettingsImage();
  const fs::path empty = env.ComputerDir() / "empty";
  fs::create_directories(empty);
  for (const auto& command : std::vector<std::vector<std::string>>{
           {"eq", "show"}, {"settings", "show"}, {"radio", "show"}, {"firmware", "list"}}) {
    std::vector<std::string> arguments{"--config-dir=" + empty.string()};
    arguments.insert(arguments.end(), command.begin(), command.end());
    const Result missing = Koralctl(arguments);
    EXPECT_EQ(missing.status, 1) << command[0];
    EXPECT_EQ(missing.err, "Config.ini est absent du dossier de configuration '" + empty.string() + "'.\n")
        << command[0];
  }
  EXPECT_EQ(Koralctl({"--config-dir=" + empty.string(), "detect"}).status, 0);
}

TEST(KoralctlOptions, DoubleDashAfterAnOperandLetsNegativeValuesThrough) {
  TestEnvironment env;
  env.SetSettingsImage();
  const Result set = Koralctl({"eq", "set", "1", "--", "12", "-2", "-4", "0", "8"});
  EXPECT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(Koralctl({"eq", "set", "--", "2", "12", "-2", "-4", "0", "8"}).status, 0);
  const std::string shown = Koralctl({"eq", "show"}).out;
  EXPECT_NE(shown.find("      12      -2      -4       0       8\n 2"), std::string::npos) << shown;
  // Only the first one is a marker.
  EXPECT_EQ(Koralctl({"eq", "set", "1", "--", "12", "--", "-4", "0", "8"}).status, 2);
}

}  // namespace
