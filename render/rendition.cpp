#include "render/rendition.h"

#include <cstring>

int Prepare(const ProfileSettings& settings, const StyleRecord& style, std::string_view source,
            bool css, ConvertObserver* observer, Prepared& prepared, bool from_source) {
    for (int32_t i = 0; i < settings.KeywordCount(); ++i) {
        const char* k = settings.Keyword(i);
        if (!prepared.keywords.Add(k, std::strlen(k))) {
            return 0;
        }
    }
    prepared.pieces = ChoosePieces(style, css);
    prepared.classes = style.Classes();

    prepared.tab.assign(1, '\t'); // assigned so: GCC 12 warns falsely (-Wrestrict) on = "\t"
    if (settings.n_tab_size < 0) {
        if (observer != nullptr) {
            observer->Notice(NoticeStyle::Information, kNoticeKeepTabs);
        }
    } else {
        int32_t size = settings.n_tab_size;
        if (size > 255) {
            if (observer != nullptr) {
                observer->Notice(NoticeStyle::Stop, kNoticeMaxTabSize);
            }
            size = 255;
        }
        prepared.tab.assign(std::size_t(size), ' ');
    }

    if (!Escape(source, prepared.pieces.opening, prepared.tab, prepared.escaped,
                Progress(observer, source.size(), 0), from_source ? &prepared.replaced : nullptr,
                observer == nullptr || observer->MayUseThreads())) {
        return 0;
    }
    prepared.source_start = prepared.pieces.opening.size();
    if (observer != nullptr) {
        observer->EscapeDone(prepared.escaped);
    }
    return 1;
}
