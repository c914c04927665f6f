// names_dump: prints the class of every word the name marker marks, for the judge
// (scripts/compare-names) and for looking at the marker's choices by hand.
//
//   names_dump [--tree-list LIST] FILE...
//
// Each FILE is escaped as a conversion escapes it (tabs kept) and marked; for each file the
// output has a line "F <path>", then one line "<offset> <length> <class>" per marked word, the
// offset and length in the file's bytes, the class one of function, type, namespace, macro.
// With --tree-list, every file named in LIST (one path a line) is read first, as the first
// pass of a tree conversion reads its files, and what they declare is known in every FILE.

#include "names/name_marker.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

bool ReadFile(const char* path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

const char* ClassName(NameClass c) {
    switch (c) {
    case NameClass::Function:
        return "function";
    case NameClass::Type:
        return "type";
    case NameClass::Namespace:
        return "namespace";
    case NameClass::Macro:
        return "macro";
    default:
        return "none";
    }
}

} // namespace

int main(int argc, char** argv) {
    names::TreeNames tree;
    bool have_tree = false;
    int i = 1;
    if (i + 2 < argc && std::strcmp(argv[i], "--why") == 0) {
        // --why NAME LIST: which files of LIST give NAME which bits in the tree's table.
        std::ifstream list(argv[i + 2]);
        std::string source;
        for (std::string path; std::getline(list, path);) {
            names::NameTable one(names::kTreeNames, names::kTreeNameBytes);
            if (!path.empty() && ReadFile(path.c_str(), source)) {
                names::CollectDeclarations(source, 0, false, names::Scope::Tree, one);
                if (const uint16_t bits = one.Find(argv[i + 1])) {
                    std::printf("%s: %u\n", path.c_str(), unsigned(bits));
                }
            }
        }
        return 0;
    }
    if (i + 1 < argc && std::strcmp(argv[i], "--tree-list") == 0) {
        std::ifstream list(argv[i + 1]);
        std::string source;
        for (std::string path; std::getline(list, path);) {
            if (!path.empty() && ReadFile(path.c_str(), source)) {
                tree.AddSource(source);
            }
        }
        have_tree = true;
        i += 2;
    }
    std::string source;
    std::string escaped;
    std::vector<std::size_t> origin; // the source offset of each escaped byte
    for (; i < argc; ++i) {
        if (!ReadFile(argv[i], source)) {
            std::fprintf(stderr, "names_dump: cannot read %s\n", argv[i]);
            return 1;
        }
        escaped.clear();
        origin.clear();
        for (std::size_t j = 0; j < source.size(); ++j) {
            const char c = source[j];
            const char* entity = c == '<'   ? "&lt;"
                                 : c == '>' ? "&gt;"
                                 : c == '&' ? "&amp;"
                                            : nullptr;
            if (entity != nullptr) {
                escaped += entity;
                origin.insert(origin.end(), std::strlen(entity), j);
            } else {
                escaped += c;
                origin.push_back(j);
            }
        }
        origin.push_back(source.size());
        std::printf("F %s\n", argv[i]);
        names::NameMarker marker(escaped, 0, have_tree ? &tree : nullptr);
        for (names::NameMark mark; marker.Next(mark);) {
            std::printf("%zu %zu %s\n", origin[mark.start], origin[mark.end] - origin[mark.start],
                        ClassName(mark.name_class));
        }
    }
    return 0;
}
