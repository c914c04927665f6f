#include "cli/batch_plan.h"

#include <map>

BatchPlan PlanBatch(const std::string& out_dir, const std::vector<SourceEntry>& sources,
                    std::string_view extension) {
    BatchPlan plan;
    plan.pages.resize(sources.size());
    std::map<std::string, const std::string*> pages{{"index.html", nullptr}}; // and whose
    std::map<std::string, int> folders;                                       // and their index
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const SourceEntry& source = sources[i];
        PagePlan& page = plan.pages[i];
        if (!source.problem.empty()) {
            page.problem = source.problem;
            continue;
        }
        const std::string relative = source.relative + std::string(extension);
        const std::string path = out_dir + "/" + relative;
        if (const auto taken = pages.find(relative); taken != pages.end()) {
            page.problem = taken->second ? "its page would replace that of " + *taken->second
                                         : std::string("its page would replace the index");
            continue;
        }
        if (folders.count(relative) != 0) {
            page.problem = "its page would replace the folder " + path;
            continue;
        }
        for (std::size_t slash = relative.find('/'); slash != std::string::npos;
             slash = relative.find('/', slash + 1)) {
            const std::string folder = relative.substr(0, slash);
            if (const auto taken = pages.find(folder); taken != pages.end()) {
                page.problem = taken->second
                                   ? "its folder would replace the page of " + *taken->second
                                   : std::string("its folder would replace the index");
                break;
            }
            const auto [at, fresh] = folders.try_emplace(folder, int(plan.folders.size()));
            if (fresh) {
                const std::size_t start = folder.rfind('/') + 1; // npos + 1 is 0
                plan.folders.push_back({out_dir + "/" + folder, folder.substr(start), page.folder});
            }
            page.folder = at->second;
        }
        if (page.problem.empty()) {
            page.page = path;
            page.name = relative.substr(relative.rfind('/') + 1);
            pages.emplace(relative, &source.path);
        }
    }
    return plan;
}
