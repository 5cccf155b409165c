# SPDX-License-Identifier: GPL-3.0-or-later
"""Saving an equaliser curve through the main window's settings sheet."""

import koral_e2e
from koral_e2e import KoralTestCase, wait_until

OFFSET_EQ = 64      # [119.0] of the shipped Config.ini
OFFSET_SELEQ = 240
PERSO = 10


def band_fields(image):
    """The eleven presets' gains, decoded from each field's first byte."""
    def gain(byte):
        return byte - 256 if byte > 20 else byte
    return [[gain(image[OFFSET_EQ + 15 * preset + 3 * band]) for band in range(5)] for preset in range(11)]


def encoded(gains):
    out = bytearray()
    for row in gains:
        for gain in row:
            out += bytes([gain & 0xFF]) + (b"\xff\xff" if gain < 0 else b"\x00\x00")
    return bytes(out)


def gain_of(slider):
    """The gain a slider shows (the top end is +20)."""
    return int(slider.value())


class EqualiserRoad(KoralTestCase):

    def test_a_moved_slider_is_saved_as_the_perso_curve_and_selected(self):
        app = self.app
        window = self.start_main_window()
        before = app.settings_image.read_bytes()
        presets = band_fields(before)
        shown = before[OFFSET_SELEQ]

        with self.step("ouvrir la feuille et choisir l'onglet Equaliser"):
            sheet = self.open_sheet(window)
            slider = self.choose_tab(sheet, "Equaliser", "slider", "62 Hz")
            wait_until(lambda: gain_of(slider) == presets[shown][0], "le gain lu du lecteur")
            self.assertTrue(sheet.find_all("label", str(presets[shown][0])), "le gain affiché au-dessus")

        with self.step("choisir « sélectionner le preset en cours »"):
            choice = sheet.find("radio button", "sélectionner le preset en cours")
            choice.click()
            wait_until(lambda: choice.has_state("CHECKED"), "choix coché")

        with self.step("monter le curseur 62 Hz de trois crans au clavier"):
            slider.click()
            wait_until(lambda: slider.has_state("FOCUSED"), "le curseur a le focus")
            # A click on the groove pages the slider; the keys then step it.
            after_click = gain_of(slider)
            app.key("Up", "Up", "Up")
            wait_until(lambda: gain_of(slider) == min(20, after_click + 3), "le gain a monté de 3")
            gain = gain_of(slider)
            preset_shown = sheet.find("combo box", "Preset sélectionné")
            wait_until(lambda: preset_shown.entry() == "Perso", "la liste montre « Perso »")

        with self.step("enregistrer sur l'Koral"):
            sheet.find("push button", "Enregistrer les réglages sur l'Koral").click()
            expected = [row[:] for row in presets]
            expected[PERSO] = presets[shown][:]
            expected[PERSO][0] = gain
            wait_until(lambda: app.settings_image.read_bytes()[OFFSET_EQ:OFFSET_EQ + 165] == encoded(expected),
                       "les 165 octets des presets écrits")
            after = app.settings_image.read_bytes()
            self.assertEqual(after[OFFSET_SELEQ], PERSO)
            untouched = before[:OFFSET_EQ] + before[OFFSET_EQ + 165:OFFSET_SELEQ] + before[OFFSET_SELEQ + 1:]
            self.assertEqual(after[:OFFSET_EQ] + after[OFFSET_EQ + 165:OFFSET_SELEQ] + after[OFFSET_SELEQ + 1:],
                             untouched)

        with self.step("quitter par le bouton de la fenêtre principale"):
            window.find("push button", "Quitter").click()
            self.assertExitStatus(0)
            self.assertEqual(app.config_value("equaliser", "preset"), "0")


if __name__ == "__main__":
    koral_e2e.main()
