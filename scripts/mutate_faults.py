"""The faults scripts/mutate can plant in a C++ file, found by reading its tokens.

A fault is one small edit of the source: a comparison or logical operator changed, true and false
swapped, an off-by-one (an integer literal moved by one, or a "+ 1" / "- 1" dropped), one character
of a string literal changed, or a lone call statement dropped. Comments and preprocessor lines are
never touched. The sources are clang-formatted, so a binary operator is one with blanks on both
sides; this tells "a < b" from "vector<int>" and "a && b" from "T&& x".
"""

import itertools
import re
from dataclasses import dataclass

TOKEN = re.compile(
    r"""(?P<space>\s+)
      | (?P<comment>//[^\n]*|/\*.*?\*/)
      | (?P<raw>(?:u8|[uUL])?R"(?P<delim>[^(\s]*)\(.*?\)(?P=delim)")
      | (?P<string>(?:u8|[uUL])?"(?:\\.|[^"\\\n])*")
      | (?P<char>(?:u8|[uUL])?'(?:\\.|[^'\\\n])*')
      | (?P<number>\.?[0-9](?:[eEpP][+-]|'[0-9A-Za-z_]|[0-9A-Za-z_.])*)
      | (?P<name>[A-Za-z_]\w*)
      | (?P<op><=>|<<=|>>=|->\*|\.\.\.|->|\+\+|--|<<|>>|<=|>=|==|!=|&&|\|\||::|[-+*/%&|^!=<>]=|.)
    """,
    re.VERBOSE | re.DOTALL,
)
PREPROCESSOR = re.compile(r"^[ \t]*(#(?:[^\n]*\\\n)*[^\n]*)", re.MULTILINE)
OPERATOR_SWAP = {"==": "!=", "!=": "==", "<": "<=", "<=": "<", ">": ">=", ">=": ">",
                 "&&": "||", "||": "&&"}
KINDS = ("operator", "boolean", "off-by-one", "string", "call")
NOT_CALLS = {"static_assert", "return", "sizeof", "co_return", "co_await", "co_yield"}


@dataclass(frozen=True)
class Fault:
    kind: str   # one of KINDS
    path: str   # relative to the tree
    line: int
    column: int
    start: int  # offsets of the replaced text in the file
    end: int
    replacement: str
    change: str  # what a reader sees: "'<' -> '<='"

    def apply(self, text):
        return text[: self.start] + self.replacement + text[self.end :]


@dataclass
class Token:
    kind: str
    text: str
    start: int
    end: int


def tokens(text):
    """The file's code tokens: no blanks, comments or preprocessor lines."""
    hidden = [m.span(1) for m in PREPROCESSOR.finditer(text)]
    pos, result = 0, []
    while pos < len(text):
        for begin, stop in hidden:
            if begin == pos:
                pos = stop
        if pos >= len(text):
            break
        m = TOKEN.match(text, pos)
        if m.lastgroup not in ("space", "comment"):
            result.append(Token(m.lastgroup, m.group(), m.start(), m.end()))
        pos = m.end()
    return result


def is_binary(text, token):
    """Blanks on both sides, as clang-format writes a binary operator."""
    return (token.start > 0 and text[token.start - 1].isspace() and token.end < len(text)
            and text[token.end].isspace())


def changed_character(literal, rng):
    """The literal with one ASCII character of its content changed, or None if it has none."""
    body_start = literal.index('"') + 1
    places, i = [], body_start
    while i < len(literal) - 1:
        if literal[i] == "\\":
            i += 2  # an escape sequence is left whole
            continue
        if " " <= literal[i] <= "~":
            places.append(i)
        i += 1
    if not places:
        return None
    i = rng.choice(places)
    c = literal[i]
    for first, last in (("a", "z"), ("A", "Z"), ("0", "9")):
        if first <= c <= last:
            new = first if c == last else chr(ord(c) + 1)
            break
    else:
        new = "-" if c == "_" else "_"
    return literal[:i] + new + literal[i + 1 :]


def lone_call(toks, i):
    """If a statement starts at toks[i] and is only a call `a.b::c(...);` on one line, its end."""
    if toks[i].kind != "name" or toks[i].text in NOT_CALLS:
        return None
    if i > 0 and toks[i - 1].text not in (";", "{", "}"):
        return None
    j = i + 1
    while j + 1 < len(toks) and toks[j].text in (".", "->", "::") and toks[j + 1].kind == "name":
        j += 2
    if j >= len(toks) or toks[j].text != "(":
        return None
    depth = 0
    for k in range(j, len(toks)):
        depth += {"(": 1, ")": -1}.get(toks[k].text, 0)
        if depth == 0:
            if k + 1 < len(toks) and toks[k + 1].text == ";":
                return k + 1
            return None
    return None


def faults_in(path, text, rng):
    """Every fault of the file, in the order of the text."""
    toks = tokens(text)
    found = []

    def add(kind, start, end, replacement, change):
        line = text.count("\n", 0, start) + 1
        column = start - text.rfind("\n", 0, start)
        found.append(Fault(kind, path, line, column, start, end, replacement, change))

    for i, t in enumerate(toks):
        if t.kind == "op" and t.text in OPERATOR_SWAP and is_binary(text, t):
            add("operator", t.start, t.end, OPERATOR_SWAP[t.text], f"'{t.text}' -> '{OPERATOR_SWAP[t.text]}'")
        elif t.kind == "name" and t.text in ("true", "false"):
            other = "false" if t.text == "true" else "true"
            add("boolean", t.start, t.end, other, f"'{t.text}' -> '{other}'")
        elif t.kind == "number" and re.fullmatch(r"[0-9]+", t.text):
            value = int(t.text)
            for moved in (value + 1, value - 1):
                if moved >= 0:
                    add("off-by-one", t.start, t.end, str(moved), f"'{t.text}' -> '{moved}'")
        elif t.kind == "string":
            literal = changed_character(t.text, rng)
            if literal is not None:
                add("string", t.start, t.end, literal, f"'{t.text}' -> '{literal}'")
        if (t.kind == "op" and t.text in ("+", "-") and is_binary(text, t) and i + 1 < len(toks)
                and toks[i + 1].text == "1"):
            add("off-by-one", t.start - 1, toks[i + 1].end, "", f"'{t.text} 1' dropped")
        end = lone_call(toks, i)
        if end is not None and "\n" not in text[t.start : toks[end].end]:
            statement = text[t.start : toks[end].end]
            add("call", t.start, toks[end].end, "", f"'{statement}' dropped")
    return found


def faults(tree, paths, rng):
    """Every fault of the given files (paths relative to tree), in the order they are to be tried:
    the kinds in turn, each kind's faults shuffled by rng. Taking the kinds in turn keeps the
    hundreds of numbers and names of the data tables from drowning the operators and calls."""
    found = []
    for path in sorted(paths):
        with open(tree / path, encoding="utf-8", newline="") as f:
            found += faults_in(path, f.read(), rng)
    by_kind = [[f for f in found if f.kind == kind] for kind in KINDS]
    for faults_of_kind in by_kind:
        rng.shuffle(faults_of_kind)
    turns = itertools.zip_longest(*by_kind)
    return [f for turn in turns for f in turn if f is not None]
