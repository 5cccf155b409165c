# SPDX-License-Identifier: GPL-3.0-or-later
"""Enter in a settings field keeps the window open; closing a window whose
edits are not written yet asks first, and the answer is obeyed."""

import time

import koral_e2e
from koral_e2e import KoralTestCase, wait_until

OFFSET_RADIO = 256   # [119.0] of the shipped Config.ini
OFFSET_EQ = 64
OFFSET_SELEQ = 240
PERSO = 10
QUESTION = "Enregistrer les modifications sur l'Koral ?"
SHEET = "Propriétés"
FIRMWARE = "Firmware et profils"


def memory_bytes(image, letter):
    start = OFFSET_RADIO + 6 * (ord(letter) - ord("A"))
    return image[start:start + 3]


def kilohertz(value):
    return bytes([value & 0xFF, (value >> 8) & 0xFF, value >> 16])


class SheetQuestionsRoad(KoralTestCase):

    def stays_open(self, title, count=1):
        """A window that went would have gone well within this time."""
        time.sleep(1.0)
        self.assertEqual(len(self.app.windows(title)), count, f"« {title} » toujours ouverte")

    def type_into(self, field, text):
        field.click()
        wait_until(lambda: field.has_state("FOCUSED"), f"« {field.name} » a le focus")
        self.app.key("ctrl+a")
        self.app.type(text)

    def test_a_comma_frequency_and_enter_then_escape_and_save(self):
        app = self.app
        window = self.start_main_window()
        before = app.settings_image.read_bytes()

        with self.step("onglet Radio : « 103,5 » en mémoire C, puis Entrée"):
            sheet = self.open_sheet(window)
            memory = sheet.find("text", "Mémoire C")
            self.type_into(memory, "103,5")
            app.key("Return")

        with self.step("la feuille reste ouverte et le champ montre 103.5, rien n'est écrit"):
            self.stays_open(SHEET)
            wait_until(lambda: memory.text() == "103.5", "103.5 dans le champ")
            self.assertEqual(app.settings_image.read_bytes(), before)

        with self.step("Échap : la question, « Enregistrer »"):
            app.key("Escape")
            self.answer_message(QUESTION, "Enregistrer")
            app.gone("dialog", SHEET)

        with self.step("103500 kHz en mémoire C, le reste de l'image intact"):
            after = app.settings_image.read_bytes()
            self.assertEqual(memory_bytes(after, "C"), kilohertz(103500))
            start = OFFSET_RADIO + 12
            self.assertEqual(after[:start] + after[start + 3:], before[:start] + before[start + 3:])

        with self.step("quitter sans question"):
            window.find("push button", "Quitter").click()
            self.assertExitStatus(0)

    def test_an_equaliser_edit_then_escape_cancel_then_close_box_and_save(self):
        app = self.app
        window = self.start_main_window()
        before = app.settings_image.read_bytes()

        with self.step("onglet Equaliser : le curseur 62 Hz monté au clavier"):
            sheet = self.open_sheet(window)
            slider = self.choose_tab(sheet, "Equaliser", "slider", "62 Hz")
            slider.click()
            wait_until(lambda: slider.has_state("FOCUSED"), "le curseur a le focus")
            start = int(slider.value())
            app.key("Down", "Down")
            wait_until(lambda: int(slider.value()) == start - 2, "le gain a baissé de 2")

        with self.step("Entrée ne ferme pas la feuille"):
            app.key("Return")
            self.stays_open(SHEET)

        with self.step("Échap, puis « Annuler » : la feuille reste, rien n'est écrit"):
            app.key("Escape")
            self.answer_message(QUESTION, "Annuler")
            self.stays_open(SHEET)
            self.assertEqual(app.settings_image.read_bytes(), before)

        with self.step("la case de fermeture, puis « Enregistrer » : les gains sont écrits"):
            app.close_box(sheet)
            self.answer_message(QUESTION, "Enregistrer")
            app.gone("dialog", SHEET)
            edited = PERSO if app.config_value("equaliser", "perso") == "1" else before[OFFSET_SELEQ]
            field = OFFSET_EQ + 15 * edited  # its 62 Hz band
            expected = bytes([(start - 2) & 0xFF]) + (b"\xff\xff" if start - 2 < 0 else b"\x00\x00")
            wait_until(lambda: app.settings_image.read_bytes()[field:field + 3] == expected, "le gain 62 Hz écrit")

        with self.step("quitter"):
            window.find("push button", "Quitter").click()
            self.assertExitStatus(0)

    def test_player_settings_enter_in_a_spin_then_discard_and_explicit_quit(self):
        app = self.app
        window = self.start_main_window()
        before = app.settings_image.read_bytes()

        with self.step("onglet « Réglages de l'Koral » : un niveau tapé, puis Entrée"):
            sheet = self.open_sheet(window)
            self.choose_tab(sheet, "Réglages de l'Koral", "push button", "Recharger les réglages")
            spin = sheet.find_all("spin button")[0]
            level = 3 if int(spin.value()) != 3 else 4
            self.type_into(spin, str(level))
            app.key("Return")
            wait_until(lambda: int(spin.value()) == level, f"le niveau {level}")
            self.stays_open(SHEET)

        with self.step("Échap, puis « Ne pas enregistrer » : la feuille se ferme sans rien écrire"):
            app.key("Escape")
            self.answer_message(QUESTION, "Ne pas enregistrer")
            app.gone("dialog", SHEET)
            self.assertEqual(app.settings_image.read_bytes(), before)

        with self.step("« répéter tout », puis « Quitter (sans enregistrer) » : pas de question"):
            sheet = self.open_sheet(window)
            choice = self.choose_tab(sheet, "Réglages de l'Koral", "radio button", "répéter tout")
            choice.click()
            wait_until(lambda: choice.has_state("CHECKED"), "« répéter tout » coché")
            sheet.find("push button", "Quitter (sans enregistrer)").click()
            app.gone("dialog", SHEET)
            self.assertEqual(app.settings_image.read_bytes(), before)

        with self.step("quitter"):
            window.find("push button", "Quitter").click()
            self.assertExitStatus(0)

    def test_the_firmware_dialog_keeps_a_typed_version_until_asked(self):
        app = self.app
        window = self.start_main_window()

        with self.step("« Firmware et profils » : taper 118.2, puis Entrée"):
            window.find("push button", "Firmware et profils").click()
            dialog = app.window(FIRMWARE)
            versions = dialog.find("combo box")
            wait_until(lambda: versions.entry() == "119.0", "la version actuelle choisie")
            self.type_into(versions, "118.2")
            app.key("Return")

        with self.step("le dialogue reste ouvert, rien n'est encore écrit"):
            self.stays_open(FIRMWARE)
            wait_until(lambda: versions.entry() == "118.2", "118.2 choisie")
            self.assertEqual(app.config_value("firmware", "version"), "119.0")

        with self.step("Échap, puis « Enregistrer » : la version est enregistrée"):
            app.key("Escape")
            self.answer_message(QUESTION, "Enregistrer")
            app.gone("dialog", FIRMWARE)
            self.assertEqual(app.config_value("firmware", "version"), "118.2")

        with self.step("quitter"):
            window.find("push button", "Quitter").click()
            self.assertExitStatus(0)

    def test_closing_the_main_window_asks_for_an_edited_sheet(self):
        app = self.app
        window = self.start_main_window()
        before = app.settings_image.read_bytes()

        with self.step("une feuille : « 99,1 » en mémoire A, Entrée"):
            sheet = self.open_sheet(window)
            memory = sheet.find("text", "Mémoire A")
            self.type_into(memory, "99,1")
            app.key("Return")
            wait_until(lambda: memory.text() == "99.1", "99.1 dans le champ")

        with self.step("« Quitter » la fenêtre principale, puis « Annuler » : tout reste ouvert"):
            window.find("push button", "Quitter").click()
            self.answer_message(QUESTION, "Annuler")
            self.stays_open(SHEET)
            self.assertIsNone(app.process.poll(), "le programme tourne encore")
            self.assertTrue(app.windows("Koral Config"))
            self.assertEqual(app.settings_image.read_bytes(), before)

        with self.step("la case de fermeture de la fenêtre principale, puis « Enregistrer »"):
            app.close_box(window)
            self.answer_message(QUESTION, "Enregistrer")
            self.assertExitStatus(0)
            self.assertEqual(memory_bytes(app.settings_image.read_bytes(), "A"), kilohertz(99100))


if __name__ == "__main__":
    koral_e2e.main()
