"""The judge of scripts/compare-names: clang's classes against the marks of a tool."""
import ctypes
import html.parser
import multiprocessing
import os
import subprocess
import sys
import tempfile

import clang.cindex as ci

ci.Config.set_library_file("/usr/lib/llvm-14/lib/libclang-14.so.1")
K = ci.CursorKind
SOURCE = {"", ".h", ".hh", ".hpp", ".hxx", ".h++", ".c", ".cc", ".cpp", ".cxx", ".c++", ".tcc",
          ".ipp", ".inl"}
CLASSES = ("function", "type", "namespace", "macro")
FUNCTION = {K.FUNCTION_DECL, K.CXX_METHOD, K.FUNCTION_TEMPLATE, K.CONVERSION_FUNCTION,
            K.CONSTRUCTOR, K.DESTRUCTOR}
TYPE = {K.STRUCT_DECL, K.CLASS_DECL, K.UNION_DECL, K.ENUM_DECL, K.TYPEDEF_DECL,
        K.TYPE_ALIAS_DECL, K.TYPE_ALIAS_TEMPLATE_DECL, K.CLASS_TEMPLATE,
        K.CLASS_TEMPLATE_PARTIAL_SPECIALIZATION, K.TEMPLATE_TYPE_PARAMETER,
        K.TEMPLATE_TEMPLATE_PARAMETER}
NAMESPACE = {K.NAMESPACE, K.NAMESPACE_ALIAS}
NONE = {K.VAR_DECL, K.FIELD_DECL, K.PARM_DECL, K.ENUM_CONSTANT_DECL,
        K.TEMPLATE_NON_TYPE_PARAMETER, K.LABEL_STMT}
REFS = {K.TYPE_REF, K.TEMPLATE_REF, K.NAMESPACE_REF, K.MEMBER_REF, K.LABEL_REF,
        K.OVERLOADED_DECL_REF, K.VARIABLE_REF, K.DECL_REF_EXPR, K.MEMBER_REF_EXPR, K.CALL_EXPR}
ARGS = ["-x", "c++", "-std=c++20", "-fPIC", "-I/usr/include/x86_64-linux-gnu/qt6",
        "-I/usr/include/x86_64-linux-gnu/qt6/QtCore", "-I/usr/lib/llvm-14/include",
        "-Wno-everything"]


class CXSourceRangeList(ctypes.Structure):
    _fields_ = [("count", ctypes.c_uint), ("ranges", ctypes.POINTER(ci.SourceRange))]


def skipped_ranges(tu, path):
    lib = ci.conf.lib
    lib.clang_getSkippedRanges.restype = ctypes.POINTER(CXSourceRangeList)
    lib.clang_getSkippedRanges.argtypes = [ci.TranslationUnit, ci.File]
    lib.clang_disposeSourceRangeList.argtypes = [ctypes.POINTER(CXSourceRangeList)]
    ranges = lib.clang_getSkippedRanges(tu, tu.get_file(path))
    out = [(ranges.contents.ranges[i].start.offset, ranges.contents.ranges[i].end.offset)
           for i in range(ranges.contents.count)]
    lib.clang_disposeSourceRangeList(ranges)
    return out


def overloaded_class(cursor):
    """function when every declaration of an overloaded name is a function, else left out."""
    lib = ci.conf.lib
    lib.clang_getNumOverloadedDecls.argtypes = [ci.Cursor]
    lib.clang_getNumOverloadedDecls.restype = ctypes.c_uint
    lib.clang_getOverloadedDecl.argtypes = [ci.Cursor, ctypes.c_uint]
    lib.clang_getOverloadedDecl.restype = ci.Cursor
    n = lib.clang_getNumOverloadedDecls(cursor)
    kinds = {kind_of(lib.clang_getOverloadedDecl(cursor, i)) for i in range(n)}
    return "function" if n and kinds <= FUNCTION else None


def kind_of(cursor):
    try:
        return cursor.kind
    except ValueError:  # a kind this binding does not know (a concept, ...)
        return None


def truth(path):
    """{offset: (length, class or 'none')} for the tokens clang gives a view of, or None."""
    index = ci.Index.create()
    try:
        tu = index.parse(path, args=ARGS + ["-I" + os.path.dirname(path)],
                         options=ci.TranslationUnit.PARSE_DETAILED_PROCESSING_RECORD)
    except ci.TranslationUnitLoadError:
        return None
    if any(d.severity >= 3 for d in tu.diagnostics):
        return None
    with open(path, "rb") as f:
        data = f.read()
    skipped = skipped_ranges(tu, path)
    macros = set()
    for c in tu.cursor.get_children():
        if kind_of(c) == K.MACRO_DEFINITION:
            macros.add(c.spelling)
    lines = {}  # line start offset -> the directive's name, for directive lines
    result = {}
    for t in tu.get_tokens(extent=tu.cursor.extent):
        if t.location.file is None or t.location.file.name != path:
            continue
        if t.kind not in (ci.TokenKind.IDENTIFIER, ci.TokenKind.KEYWORD):
            continue
        offset = t.extent.start.offset
        if any(a <= offset < b for a, b in skipped):
            continue
        word = t.spelling
        if t.kind == ci.TokenKind.KEYWORD:
            result[offset] = (len(word), "none")
            continue
        start = data.rfind(b"\n", 0, offset) + 1
        head = data[start:offset].lstrip()
        directive = None
        if head.startswith(b"#"):
            directive = head[1:].split(maxsplit=1)[0].decode() if head[1:].split() else ""
        if directive in ("include", "include_next", "import"):
            continue
        c = t.cursor
        k = kind_of(c)
        cls = None  # None: left out
        if k == K.MACRO_INSTANTIATION:
            cls = "macro"
        elif k == K.MACRO_DEFINITION:
            if c.spelling == word and c.extent.start.offset <= offset and directive == "define" \
                    and data[start:offset].split()[-1:] in ([b"define"], [b"#define"]):
                cls = "macro"
            elif word in macros:
                cls = "macro"
        elif directive is not None and directive != "define":
            cls = "none" if directive in ("if", "elif", "ifdef", "ifndef", "undef") else None
            if word in macros and directive in ("if", "elif", "ifdef", "ifndef", "undef"):
                cls = "macro"
        elif k is not None and k.is_declaration():
            if c.spelling in (word, "~" + word):
                cls = ("function" if k in FUNCTION else "type" if k in TYPE
                       else "namespace" if k in NAMESPACE else "none" if k in NONE else None)
        elif k in REFS:
            r = c.referenced
            rk = kind_of(r) if r is not None else None
            if k == K.OVERLOADED_DECL_REF and c.spelling == word:
                cls = overloaded_class(c)
            elif rk is not None and r.spelling in (word, "~" + word):
                if rk == K.CONSTRUCTOR:
                    cls = "type"
                else:
                    cls = ("function" if rk in FUNCTION else "type" if rk in TYPE
                           else "namespace" if rk in NAMESPACE else "none" if rk in NONE
                           else None)
        if cls is not None:
            result[offset] = (len(word), cls)
    return result


def dump_marks(tool, files, tree_list):
    command = [tool] + (["--tree-list", tree_list] if tree_list else []) + files
    out = subprocess.run(command, check=True, capture_output=True).stdout.decode("latin-1")
    marks, current = {}, None
    for line in out.splitlines():
        if line.startswith("F "):
            current = marks.setdefault(line[2:], {})
        else:
            offset, length, cls = line.split()
            current[int(offset)] = (int(length), cls)
    return marks


class Spans(html.parser.HTMLParser):
    """The source offset and class of each cpp_function ... cpp_macro span of tarvo's CSS."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.stack, self.marks, self.offset = [], {}, -1

    def handle_starttag(self, tag, attrs):
        if tag == "code":
            cls = (dict(attrs).get("class") or "").removeprefix("cpp_")
            self.stack.append((cls, self.offset))

    def handle_endtag(self, tag):
        if tag == "code" and self.stack:
            cls, start = self.stack.pop()
            if cls in CLASSES:
                self.marks[max(start, 0)] = (self.offset - start, cls)

    def handle_data(self, data):
        self.offset += len(data.encode("latin-1", "replace"))


def tarvo_marks(tool, files, tree_list):
    profile = tempfile.NamedTemporaryFile("w", suffix=".ini", delete=False)
    profile.write("n_tab_size = -1; n_comment_color = 0x008000; n_keyword_color = 0x0000ff;\n"
                  "n_table_lt_color = 0xa8c8e8; n_table_dk_color = 0x4084d0; n_font_size = 13;\n"
                  "n_table_width = 80; b_table_width_percent = 1; b_use_table = 0;\n"
                  "n_keyword_num = 0;\n")
    profile.close()
    marks = {}
    with tempfile.TemporaryDirectory() as out:
        if tree_list:
            with open(tree_list) as f:
                tree = [p.rstrip("\n") for p in f]
            common = os.path.commonpath(tree)
            subprocess.run([tool, "--profile-file", profile.name, "--all-classes", "--fragment",
                            "-q", "-d", out, common], check=True, capture_output=True)
        for path in files:
            if tree_list:
                page = os.path.join(out, os.path.relpath(path, common) + ".html")
                with open(page, "rb") as f:
                    text = f.read()
            else:
                text = subprocess.run([tool, "--profile-file", profile.name, "--all-classes",
                                       path], check=True, capture_output=True).stdout
            parser = Spans()
            parser.feed(text.decode("latin-1"))
            marks[path] = parser.marks  # offsets past the fragment's own first line end
    os.unlink(profile.name)
    return marks


def files_of(folder, limit):
    found = []
    for directory, _, names in sorted(os.walk(folder)):
        for name in sorted(names):
            path = os.path.join(directory, name)
            if os.path.splitext(name)[1] in SOURCE and os.path.isfile(path):
                found.append(path)
    if limit and len(found) > limit:
        step = len(found) / limit
        found = [found[int(i * step)] for i in range(limit)]
    return found


def score(truths, marks, show, data_of):
    counts = {c: [0, 0, 0] for c in CLASSES}  # true positives, false positives, misses
    shown = {c: 0 for c in CLASSES}

    def say(cls, path, offset, what):
        if shown[cls] < show:
            shown[cls] += 1
            data = data_of(path)
            start = data.rfind(b"\n", 0, offset) + 1
            end = data.find(b"\n", offset)
            line = data.count(b"\n", 0, offset) + 1
            text = data[start:end if end >= 0 else None].decode("latin-1").strip()[:110]
            print(f"  {cls} {what}: {path}:{line}: {text}")

    for path, truth_of in truths.items():
        ours = marks.get(path, {})
        for offset, (length, cls) in truth_of.items():
            mine = ours.get(offset, (0, "none"))[1]
            if mine == cls and cls != "none":
                counts[cls][0] += 1
            else:
                if mine != "none":
                    counts[mine][1] += 1
                    say(mine, path, offset, f"wrong (clang: {cls})")
                if cls != "none":
                    counts[cls][2] += 1
                    say(cls, path, offset, f"missed (tool: {mine})")
    return counts


def main():
    tool, mode, show, limit, jobs = sys.argv[1], sys.argv[2], int(sys.argv[3]), \
        int(sys.argv[4]), int(sys.argv[5])
    folders = sys.argv[6:]
    kind, _, program = tool.partition(":")
    get_marks = dump_marks if kind == "dump" else tarvo_marks
    cache = {}

    def data_of(path):
        if path not in cache:
            with open(path, "rb") as f:
                cache[path] = f.read()
        return cache[path]

    totals = {}
    for folder in folders:
        every = files_of(folder, 0)
        chosen = files_of(folder, limit)
        with multiprocessing.Pool(jobs) as pool:
            parsed = pool.map(truth, chosen)
        truths = {p: t for p, t in zip(chosen, parsed) if t is not None}
        tokens = sum(len(t) for t in truths.values())
        print(f"{folder}: {len(truths)} files judged ({len(chosen) - len(truths)} left out: "
              f"clang errors), {tokens} tokens; tree {len(every)} files")
        runs = []
        if mode in ("file", "both"):
            runs.append(("one file", None))
        if mode in ("tree", "both"):
            listing = tempfile.NamedTemporaryFile("w", delete=False)
            listing.write("".join(p + "\n" for p in every))
            listing.close()
            runs.append(("tree", listing.name))
        for label, tree_list in runs:
            marks = {}
            paths = list(truths)
            for i in range(0, len(paths), 200):
                marks.update(get_marks(program, paths[i:i + 200], tree_list))
            counts = score(truths, marks, show, data_of)
            total = totals.setdefault(label, {c: [0, 0, 0] for c in CLASSES})
            for c in CLASSES:
                total[c] = [a + b for a, b in zip(total[c], counts[c])]
            print_counts(label, counts)
            if tree_list:
                os.unlink(tree_list)
    if len(folders) > 1:
        print("all folders:")
        for label, counts in totals.items():
            print_counts(label, counts)


def print_counts(label, counts):
    cells = []
    for c in CLASSES:
        tp, fp, fn = counts[c]
        p = 100.0 * tp / max(tp + fp, 1)
        r = 100.0 * tp / max(tp + fn, 1)
        cells.append(f"{c} {p:.1f}/{r:.1f} (n={tp + fn})")
    print(f"  {label:8}: " + "  ".join(cells))


if __name__ == "__main__":
    main()
