#!/usr/bin/env python3
"""Makes a pseudo-translation of the catalogue: every text with accented letters and about 40 %
longer, its arguments (%1, %n), access keys (&) and line breaks kept, so that a window shown in it
tells at once which text was cut or not translated at all. "--rtl" marks it a right-to-left
language (Arabic), as a translation does to mirror the window.

usage: pseudo_translation.py CATALOGUE.ts OUTPUT.ts [--rtl]
"""
import math
import re
import sys
import xml.etree.ElementTree as ET

ACCENTED = str.maketrans("aeiouycnsAEIOUYCNS", "áéíóúýçñšÁÉÍÓÚÝÇÑŠ")


def pseudo(text):
    # Arguments, escapes and access keys stay as they are; letters take accents.
    parts = re.split(r"(%L?\d+|%n|&&|&.|\\.)", text)
    shown = "".join(p if re.fullmatch(r"%L?\d+|%n|&&|&.|\\.", p or "x") else
                    p.translate(ACCENTED) for p in parts)
    if not text.strip():
        return text
    return "⟦" + shown + "·" * max(1, math.ceil(len(text) * 0.4) - 2) + "⟧"


def main():
    catalogue, output = sys.argv[1:3]
    rtl = "--rtl" in sys.argv[3:]
    tree = ET.parse(catalogue)
    root = tree.getroot()
    root.set("language", "ar" if rtl else "eo")
    forms = 6 if rtl else 2
    for message in root.iter("message"):
        source = message.findtext("source")
        translation = message.find("translation")
        if translation is None:
            translation = ET.SubElement(message, "translation")
        translation.attrib.pop("type", None)
        translation.text = None
        for child in list(translation):
            translation.remove(child)
        if message.get("numerus") == "yes":
            for _ in range(forms):
                ET.SubElement(translation, "numerusform").text = pseudo(source)
        else:
            translation.text = pseudo(source)
    if rtl:
        context = ET.SubElement(root, "context")
        ET.SubElement(context, "name").text = "QGuiApplication"
        message = ET.SubElement(context, "message")
        ET.SubElement(message, "source").text = "QT_LAYOUT_DIRECTION"
        ET.SubElement(message, "translation").text = "RTL"
    tree.write(output, encoding="utf-8", xml_declaration=True)


if __name__ == "__main__":
    main()
