#include "names/declarations.h"

#include "names/collector.h"

namespace names {

void CollectDeclarations(std::string_view text, std::size_t start, bool escaped, Scope scope,
                         NameTable& table, TokenReplay* replay) noexcept {
    Collector(text, start, escaped, scope, table, replay).Run();
}

void CollectRecorded(std::string_view text, std::size_t start, NameTable& table,
                     TokenReplay& recorded) noexcept {
    Collector(text, start, true, Scope::File, table, &recorded, TokenWindow::Use::Play).Run();
}

} // namespace names
