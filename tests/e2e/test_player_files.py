# SPDX-License-Identifier: GPL-3.0-or-later
"""Creating a folder on the player from the list's menu, then deleting it."""

import koral_e2e
from koral_e2e import KoralTestCase, wait_until


class PlayerFilesRoad(KoralTestCase):

    def test_a_folder_is_created_then_deleted(self):
        app = self.app
        window = self.start_main_window()
        player_list = window.find("tree", "Dossier de l'Koral")
        created = app.player / "Nouveautés"

        with self.step("« Créer un répertoire » du menu de la liste de l'Koral"):
            _, _, _, height = player_list.extents()
            app.open_popup(lambda: player_list.click(button=3, at=(200, height - 20)))
            app.key("Down", "Return")  # its one entry
            dialog = app.window("Création d'un répertoire...")
            field = dialog.find("text")
            wait_until(lambda: field.has_state("FOCUSED"), "le champ du nom a le focus")
            app.type("Nouveautés")
            dialog.find("push button", "OK").click()
            wait_until(created.is_dir, "le dossier créé sur le lecteur")
            row = player_list.find("table cell", "Nouveautés")

        with self.step("le choisir, « Supprimer de l'Koral » et confirmer"):
            row.click()
            window.find("push button", "Supprimer de l'Koral").click()
            self.answer_message("Supprimer 1 élément de l'Koral (0 fichier, 0 o) ?", "Supprimer")
            wait_until(lambda: not created.exists(), "le dossier supprimé du lecteur")
            app.gone("table cell", "Nouveautés", within=player_list)
            self.assertTrue(app.settings_image.exists())

        with self.step("quitter"):
            window.find("push button", "Quitter").click()
            self.assertExitStatus(0)


if __name__ == "__main__":
    koral_e2e.main()
