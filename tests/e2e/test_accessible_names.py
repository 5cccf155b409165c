# SPDX-License-Identifier: GPL-3.0-or-later
"""What a screen reader finds in every window and dialog: each control that
takes focus or input has a name of its own, and no decoration is read out."""

import os
import re
from pathlib import Path

import koral_e2e
from koral_e2e import BINARY, KoralTestCase, wait_until

# What a user can focus, press, type into or read a value from.
CONTROLS = {"push button", "toggle button", "check box", "radio button", "combo box", "text", "password text",
            "spin button", "slider", "list", "list box", "table", "tree", "tree table", "progress bar"}
# Items of one list, table or tab row: the same name twice there is data, not a fault.
REPEATED = {"list item", "table cell", "tree item", "page tab", "table column header", "table row header",
            "menu item"}
GROUPS = {"panel", "grouping"}
# Marks drawn with characters: rules, ticks ("__", "0 -", "---").
DECORATION = re.compile(r"^\s*(-?\d+\s*)?[-_–—.·|]+\s*$")
FAULT_SHIM = Path(BINARY).resolve().parents[1] / "tests" / "libkoral_fault_shim.so"


class TreeWalk:
    """Walks the showing part of one window's tree and lists what misleads."""

    def __init__(self, atspi):
        self.atspi = atspi
        self.faults = []

    def showing(self, accessible):
        try:
            return self.atspi.STATE_SHOWING in accessible.getState().getStates()
        except Exception:  # gone meanwhile
            return False

    def children(self, accessible):
        found = []
        for index in range(accessible.childCount):
            child = accessible.getChildAtIndex(index)
            if child is not None and self.showing(child):
                found.append(child)
        return found

    def labels_of(self, accessible):
        """The objects the control says are its labels."""
        labels = []
        for relation in accessible.getRelationSet():
            if relation.getRelationType() == self.atspi.RELATION_LABELLED_BY:
                labels += [relation.getTarget(i) for i in range(relation.getNTargets())]
        return labels

    def walk(self, accessible, path):
        children = self.children(accessible)
        parent_name = accessible.name or ""
        for child in children:
            role, name = child.getRoleName(), child.name or ""
            where = f"{path} > {role} « {name} »"
            self.check_name(child, role, name, children, where)
            if role in GROUPS and name.strip() and name == parent_name:
                self.faults.append(f"{where} : porte le nom du groupe qui le contient")
            if role == "label" and DECORATION.match(name):
                self.faults.append(f"{where} : décoration lue par le lecteur d'écran")
            if role not in CONTROLS:  # a control's inner parts are its own
                self.walk(child, where)

    def check_name(self, child, role, name, siblings, where):
        if role in CONTROLS and not name.strip():
            self.faults.append(f"{where} : contrôle sans nom")
            return
        if role == "combo box" and name in {item.name for item in self.entries(child)}:
            self.faults.append(f"{where} : liste déroulante nommée d'après sa valeur")
        if role not in CONTROLS | GROUPS or not name.strip():
            return
        labels = self.labels_of(child)
        for other in siblings:
            if other == child or (other.name or "") != name or other in labels:
                continue
            if other.getRoleName() == role and role in REPEATED:
                continue
            self.faults.append(f"{where} : même nom que son voisin {other.getRoleName()} « {name} »")
            return

    def entries(self, combo):
        items = []
        for part in (combo.getChildAtIndex(i) for i in range(combo.childCount)):
            if part is not None and part.getRoleName() == "list":
                items += [part.getChildAtIndex(i) for i in range(part.childCount)]
        return [item for item in items if item is not None]


class AccessibleNamesRoad(KoralTestCase):

    def walk(self, window, faults):
        with self.step(f"parcourir l'arbre de « {window.name} »"):
            tree = TreeWalk(self.app.atspi)
            tree.walk(window.acc, f"{window.role} « {window.name} »")
            faults += tree.faults

    def report(self, faults):
        for fault in faults:
            print("  NOM TROMPEUR : " + fault, flush=True)
        self.assertEqual(faults, [], f"{len(faults)} défaut(s) d'accessibilité")

    def test_every_window_names_its_controls(self):
        app = self.app
        faults = []
        window = self.start_main_window()
        self.walk(window, faults)

        with self.step("la boîte « A propos »"):
            window.find("push button", "A propos de Koral Config...").click()
            about = app.window("A propos de Koral Config")
        self.walk(about, faults)
        about.find("push button", "OK").click()
        app.gone("dialog", "A propos de Koral Config")

        sheet = self.open_sheet(window)
        self.walk(sheet, faults)  # its first tab, Radio
        for tab, role, shown in (("Equaliser", "slider", "62 Hz"),
                                 ("Réglages de l'Koral", "push button", "Recharger les réglages")):
            with self.step(f"l'onglet « {tab} »"):
                self.choose_tab(sheet, tab, role, shown)
            self.walk(sheet, faults)

        with self.step("le dialogue « Firmware et profils »"):
            window.find("push button", "Firmware et profils").click()
            firmware = app.window("Firmware et profils")
        self.walk(firmware, faults)
        firmware.find("push button", "Quitter (sans enregistrer)").click()
        app.gone("dialog", "Firmware et profils")

        with self.step("« Créer un répertoire » du menu de la liste de l'Koral"):
            player_list = window.find("tree", "Dossier de l'Koral")
            _, _, _, height = player_list.extents()
            app.open_popup(lambda: player_list.click(button=3, at=(200, height - 20)))
            app.key("Down", "Return")
            new_folder = app.window("Création d'un répertoire...")
        self.walk(new_folder, faults)
        new_folder.find("push button", "Annuler").click()
        app.gone("dialog", "Création d'un répertoire...")
        self.report(faults)

    def test_the_copy_progress_names_its_bars(self):
        if not FAULT_SHIM.exists():
            self.skipTest(f"{FAULT_SHIM} absent : le dialogue de copie ne peut être retenu")
        app = self.app
        (app.computer / "long.mp3").write_bytes(b"M" * (8 << 20))
        # The copy's second write to the player never returns: its dialog stays.
        app.extra_env.update({"LD_PRELOAD": str(FAULT_SHIM), "KORAL_FAULT": "stall:EIO:long.mp3",
                              "ASAN_OPTIONS": ":".join(filter(None, [os.environ.get("ASAN_OPTIONS"),
                                                                     "verify_asan_link_order=0"]))})
        window = self.start_main_window()

        with self.step("copier un gros fichier sur l'Koral"):
            window.find("tree", "Dossier de l'ordinateur").find("table cell", "long.mp3").click()
            window.find("push button", "Copier sur l'Koral").click()
            progress = app.window("Opération en cours...")
            wait_until(lambda: app.find_all("progress bar", within=progress), "les barres de progression")
        faults = []
        self.walk(progress, faults)
        self.report(faults)


if __name__ == "__main__":
    koral_e2e.main()
