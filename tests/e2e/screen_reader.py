"""Parlox as a screen reader meets it: the accessibility tree on the AT-SPI bus, which run-e2e
starts for tests that ask for it (--a11y)."""

import re

import pyatspi

from parlox_rig import wait_until


def application():
    """Parlox's entry on the accessibility bus."""
    def find():
        desktop = pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            if app is not None and app.name.lower() == "parlox":
                return app
        return None
    return wait_until(find, 10, interval=0.2, what="Parlox on the accessibility bus")


def find(root, role, name):
    """The first object below root with the given role name and accessible name, or None."""
    return pyatspi.findDescendant(root, lambda node: node.getRoleName() == role and node.name == name)


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def labels_of(node):
    return [child.name for child in node if child.getRoleName() == "label"]


def entries(transcript_text):
    """The transcript's entries, oldest first: each begins with its "hh:mm<" stamp."""
    return [entry.rstrip("\r\n") for entry in re.split(r"(?m)^(?=\d\d:\d\d<)", transcript_text) if entry]
