# SPDX-License-Identifier: GPL-3.0-or-later
"""The main window from the keyboard: Enter presses the focused button and
opens folders, never quits by surprise; Backspace goes up; Delete and
"Vider Koral" ask before anything goes."""

import time

import koral_e2e
from koral_e2e import KoralTestCase, wait_until


class KeysRoads(KoralTestCase):

    def tab_to(self, widget, what):
        """Presses Tab until the widget has the keyboard focus."""
        for _ in range(30):
            if widget.has_state("FOCUSED"):
                return
            self.app.key("Tab")
            time.sleep(0.1)
        wait_until(lambda: widget.has_state("FOCUSED"), f"le focus sur « {what} »", timeout=1)

    def still_running(self, window):
        time.sleep(1)  # a quit would have happened by now
        self.assertIsNone(self.app.process.poll(), "le programme s'est terminé")
        self.assertTrue(window.has_state("SHOWING"))

    def quit(self, window):
        window.find("push button", "Quitter").click()
        self.assertExitStatus(0)

    def test_enter_presses_the_focused_button_and_never_the_check_box(self):
        app = self.app
        (app.computer / "chanson.mp3").write_bytes(b"ID3" * 4000)
        window = self.start_main_window()
        follow = window.find("check box", "Suivre la playlist (m3u)")

        with self.step("choisir chanson.mp3, Tab jusqu'à « Suivre la playlist (m3u) », Entrée"):
            window.find("tree", "Dossier de l'ordinateur").find("table cell", "chanson.mp3").click()
            self.tab_to(follow, "Suivre la playlist (m3u)")
            app.key("Return")
            self.still_running(window)
            self.assertFalse(follow.has_state("CHECKED"))

        with self.step("Tab jusqu'à « Copier sur l'Koral », Entrée : la copie est faite"):
            self.tab_to(window.find("push button", "Copier sur l'Koral"), "Copier sur l'Koral")
            app.key("Return")
            wait_until(lambda: (app.player / "chanson.mp3").exists()
                       and (app.player / "chanson.mp3").read_bytes() == b"ID3" * 4000, "chanson.mp3 sur le lecteur")
            window.find("tree", "Dossier de l'Koral").find("table cell", "chanson.mp3")
            self.still_running(window)

        with self.step("quitter"):
            self.quit(window)
            self.assertEqual(app.config_value("copie", "suivrem3u"), "0")

    def test_enter_opens_folders_and_backspace_goes_back_in_both_lists(self):
        app = self.app
        (app.computer / "Album").mkdir()
        (app.computer / "Album" / "piste.mp3").write_bytes(b"x")
        (app.player / "Musique").mkdir(parents=True, exist_ok=True)
        (app.player / "Musique" / "titre.mp3").write_bytes(b"x")
        window = self.start_main_window()
        computer_list = window.find("tree", "Dossier de l'ordinateur")
        player_list = window.find("tree", "Dossier de l'Koral")

        with self.step("ordinateur : Entrée sur Album l'ouvre, Retour arrière en sort"):
            computer_list.find("table cell", "Album").click()
            app.key("Return")
            computer_list.find("table cell", "piste.mp3")
            app.key("BackSpace")
            computer_list.find("table cell", "Album")
            app.gone("table cell", "piste.mp3", within=computer_list)

        with self.step("Entrée de nouveau : le dossier quitté est resté choisi"):
            app.key("Return")
            computer_list.find("table cell", "piste.mp3")

        with self.step("Koral : Entrée sur Musique, Alt+Haut remonte, Entrée sur un fichier ne fait rien"):
            player_list.find("table cell", "Musique").click()
            app.key("Return")
            player_list.find("table cell", "titre.mp3")
            app.key("alt+Up")
            player_list.find("table cell", "Musique")
            app.key("BackSpace")  # at the player's root: the list goes no higher
            player_list.find("table cell", "Settings.dat").click()
            app.key("Return")
            self.still_running(window)
            player_list.find("table cell", "Musique")

        with self.step("Maj+F10 ouvre le menu de la liste"):
            app.open_popup(lambda: app.key("shift+F10"))
            app.key("Escape")

        with self.step("quitter : le dossier ouvert au clavier est gardé"):
            self.quit(window)
            self.assertEqual(app.config_value("repertoires", "pc"), str(app.computer / "Album"))

    def test_delete_key_asks_first(self):
        app = self.app
        (app.player / "Rock").mkdir(parents=True, exist_ok=True)
        for name in ("a.mp3", "b.mp3"):
            (app.player / "Rock" / name).write_bytes(b"x" * 3000)
        window = self.start_main_window()
        player_list = window.find("tree", "Dossier de l'Koral")

        with self.step("Suppr sur Rock, puis « Annuler » : rien ne part"):
            player_list.find("table cell", "Rock").click()
            app.key("Delete")
            self.answer_message("Supprimer 1 élément de l'Koral (2 fichiers, 5 Ko) ?", "Annuler")
            self.still_running(window)
            self.assertTrue((app.player / "Rock" / "a.mp3").exists())

        with self.step("dans Rock, Ctrl+A, Suppr, « Supprimer » : les fichiers partent, pas '..'"):
            player_list.find("table cell", "Rock").click()
            app.key("Return")
            player_list.find("table cell", "a.mp3")
            app.key("ctrl+a", "Delete")
            self.answer_message("Supprimer 2 éléments de l'Koral (2 fichiers, 5 Ko) ?", "Supprimer")
            wait_until(lambda: not any((app.player / "Rock").iterdir()), "Rock vidé sur le lecteur")
            app.gone("table cell", "a.mp3", within=player_list)
            self.still_running(window)

        with self.step("Retour arrière, Suppr, « Supprimer » : le dossier part"):
            app.key("BackSpace")
            player_list.find("table cell", "Rock")
            app.key("Delete")
            self.answer_message("Supprimer 1 élément de l'Koral (0 fichier, 0 o) ?", "Supprimer")
            wait_until(lambda: not (app.player / "Rock").exists(), "Rock supprimé du lecteur")
            self.assertTrue(app.settings_image.exists())

        with self.step("quitter"):
            self.quit(window)

    def test_emptying_asks_first_and_keeps_the_roots_dat_and_ini(self):
        app = self.app
        window = self.start_main_window()
        (app.player / "Album").mkdir(exist_ok=True)
        (app.player / "Album" / "piste.mp3").write_bytes(b"x" * 100)
        (app.player / "Album" / "Gardé.ini").write_bytes(b"x")
        (app.player / "Koral.INI").write_bytes(b"[x]")
        kept = {p.name for p in app.player.iterdir() if p.is_file() and p.suffix.lower() in (".dat", ".ini")}
        before = sorted(p.name for p in app.player.iterdir())
        self.assertTrue({"Settings.dat", "Koral.INI"} <= kept < set(before))

        with self.step("« Vider Koral », puis « Annuler » : rien ne part"):
            window.find("push button", "Vider Koral").click()
            self.answer_message("sont gardés.", "Annuler")
            self.still_running(window)
            self.assertEqual(sorted(p.name for p in app.player.iterdir()), before)

        with self.step("« Vider Koral », puis « Vider » : tout part sauf les DAT et INI de la racine"):
            window.find("push button", "Vider Koral").click()
            self.answer_message("Vider l'Koral : ", "Vider")
            wait_until(lambda: {p.name for p in app.player.iterdir()} == kept, "l'Koral vidé")

        with self.step("quitter"):
            self.quit(window)

    def test_a_mistyped_player_is_named_and_its_controls_disabled(self):
        app = self.app
        missing = app.root / "media" / "KORLA"
        with self.step("démarrer avec --player sur un dossier qui n'existe pas"):
            app.start("--player", str(missing), demo=False)
            self.answer_message(f"le dossier '{missing}' n'existe pas")
            window = app.window("Koral Config")

        with self.step("les commandes de l'Koral sont grisées, la liste de l'ordinateur active"):
            for name in ("Copier sur l'Koral", "Supprimer de l'Koral", "Vider Koral", "Éjecter l'Koral",
                         "Réglages Koral", "Firmware et profils"):
                self.assertFalse(window.find("push button", name).has_state("SENSITIVE"), name)
            self.assertFalse(window.find("tree", "Dossier de l'Koral").has_state("SENSITIVE"))
            self.assertTrue(window.find("tree", "Dossier de l'ordinateur").has_state("SENSITIVE"))
            self.assertFalse(missing.exists())

        with self.step("quitter"):
            self.quit(window)


if __name__ == "__main__":
    koral_e2e.main()
