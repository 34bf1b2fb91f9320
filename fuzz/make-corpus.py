#!/usr/bin/env python3
"""Writes the seed corpus of each fuzz target into fuzz/corpus/<target>/.

Settings files come from the texts the settings tests write; licence sections and version
blocks are the cases the model and version tests cover. Run it again after adding cases."""
import ast
import pathlib
import re
import struct

root = pathlib.Path(__file__).resolve().parent.parent
corpus = root / "fuzz" / "corpus"
BOM = b"\xef\xbb\xbf"


def literals_from_tests():
    # Arguments of WriteIni(...) that are one string literal, optionally after cBom +.
    pattern = re.compile(r'WriteIni\((cBom \+ )?("(?:[^"\\]|\\.)*")\)')
    found = set()
    for source in sorted((root / "tests").rglob("*.cpp")):
        for bom, literal in pattern.findall(source.read_text(encoding="utf-8")):
            text = ast.literal_eval("b" + literal) if literal.isascii() else literal[1:-1].encode("utf-8")
            found.add((BOM if bom else b"") + text)
    return sorted(found)


LAYOUT_EXAMPLE = BOM + ("[main]\r\ntop=120\r\nleft=200\r\nfilename=D:\\apps\\a.zip\r\nPDFOut=1\r\n\r\n"
                "[LIC-7]\r\nunit1=XR-100\r\ncomment1=front desk\r\nunit2=XR-200\r\n\r\n").encode("utf-8")

MORE_INI = [
    LAYOUT_EXAMPLE,
    b"",
    BOM,
    b"; comment\n\n#x=1\n[main]\n top = 120 \nPDFOut=false\na=b=c\n[main]\ntop=0x10\n",
    b"[main]\rtop=$10\rleft=-8\r[]\r=empty name\r[ spaced ]\r\x00\x01=\x02\r",
    "[名前]\r\nキー=値\r\nΣ=ς\r\n[\u3000x\u3000]\r\n".encode("utf-8"),
]

SECTIONS = [
    "unit3=A\r\ncomment3=note\r\n",
    "unit3=\r\nUnit3=A\r\nUNIT3=A\r\ncomment4=x\r\nfoo=bar\r\n",
    "unit3=A\r\nCOMMENT3=x\r\nunit03=B\r\ncomment03=y\r\nunit0=zero\r\n",
    "unit+5=A\r\nunit$5=B\r\nunit5=a=b\r\nunit5=again\r\ncomment5=c\r\n",
    "unit1=" + "M" * 40 + "\r\ncomment1=" + "C" * 33 + "\r\n",
    "unit2=\U0001F600" * 17 + "\r\nunit 7=x\r\nunit0x1F=hex\r\n",
    "unitX=A\r\n",
    "unit=A\r\n",
    "unit70000=A\r\n",
    "unit-1=A\r\n",
    "words\r\nunit12=z\r\ncomment12=w\r\nunitunit9=q\r\ncommentcomment9=r\r\n",
    # Only 256 characters of a key are its number; the rest still names the comment.
    "unit" + " " * 255 + "5UNITx=M\r\ncomment" + " " * 255 + "5commentx=C1\r\ncomment" + " " * 255 + "5UNITx=C2\r\n",
]


def u16(text):
    return (text + "\0").encode("utf-16-le")


def node(key, value=b"", children=(), type_=0, value_length=None):
    out = bytearray(6) + u16(key)
    pad = lambda: out.extend(b"\0" * (-len(out) % 4))
    pad()
    out += value
    for child in children:
        pad()
        out += child
    if value_length is None:
        value_length = len(value) // 2 if type_ else len(value)
    struct.pack_into("<HHH", out, 0, len(out), value_length, type_)
    return bytes(out)


def text_value(key, text, length=None):
    value = u16(text)
    return node(key, value, type_=1, value_length=length)


def version_info(translations, tables):
    fixed = bytes([0xBD, 0x04, 0xEF, 0xFE]) + bytes(48)
    children = []
    if tables is not None:
        children.append(node("StringFileInfo", children=[node(name, children=values, type_=1) for name, values in tables], type_=1))
    if translations is not None:
        pairs = b"".join(struct.pack("<HH", lang, cp) for lang, cp in translations)
        children.append(node("VarFileInfo", children=[node("Translation", pairs)], type_=1))
    return node("VS_VERSION_INFO", fixed, children)


OWN = [text_value("CompanyName", "Quorvel Project"), text_value("FileVersion", "2.0.4.0")]
BLOCKS = [
    version_info([(0x0409, 0x04E4)], [("040904E4", OWN)]),
    version_info([(0x0411, 0x04B0), (0x0409, 0x04E4)], [("040904E4", OWN), ("041104B0", [text_value("FileVersion", "1")])]),
    version_info(None, [("040904E4", OWN)]),
    version_info([(0x0409, 0x04E4)], [("040904E4", [text_value("FileVersion", "2.0.4.0", 7), text_value("Comments", "", 1)])]),
    version_info([(0x0409, 0x04E4)], [("040904E4", [text_value("CompanyName", "x", 300)])]),
]


def write(target, items):
    folder = corpus / target
    folder.mkdir(parents=True, exist_ok=True)
    for old in folder.iterdir():
        old.unlink()
    for number, data in enumerate(items, 1):
        (folder / f"seed-{number:02d}").write_bytes(data)


ini = literals_from_tests() + MORE_INI
write("ini_load", ini)
write("ini_roundtrip", ini)
write("model_load", [s.encode("utf-8") for s in SECTIONS])
write("version_block", BLOCKS)
