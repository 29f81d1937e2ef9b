#include "core/load_report.h"

#include <algorithm>
#include <set>

#include "core/message_sink.h"
#include "core/player_messages.h"

namespace torvane {
namespace {

struct KindRecord {
    FileProblemKind kind;
    FileProblems problems;
    std::set<std::string, std::less<>> distinctPaths;
};

struct Report {
    int depth = 0; // live ScopedLoadReports
    std::vector<KindRecord> kinds; // in the order the kinds first occurred
};

Report report;

void add(KindRecord& record, std::string_view path, FileFault fault)
{
    ++record.problems.occurrences;
    if (record.distinctPaths.emplace(path).second && record.problems.listed.size() < kFilesListedPerBox) {
        record.problems.listed.push_back({std::string(path), fault});
    }
    record.problems.distinctFiles = static_cast<int>(record.distinctPaths.size());
}

} // namespace

void reportFileProblem(FileProblemKind kind, std::string_view path, FileFault fault)
{
    if (report.depth == 0) {
        KindRecord single{kind, {}, {}};
        add(single, path, fault);
        showBox(kErrorCaption, fileProblemsMessage(kind, single.problems));
        return;
    }
    auto found = std::find_if(report.kinds.begin(), report.kinds.end(),
                              [kind](const KindRecord& record) { return record.kind == kind; });
    if (found == report.kinds.end()) {
        found = report.kinds.insert(report.kinds.end(), KindRecord{kind, {}, {}});
    }
    add(*found, path, fault);
}

ScopedLoadReport::ScopedLoadReport()
{
    ++report.depth;
}

ScopedLoadReport::~ScopedLoadReport()
{
    if (--report.depth > 0) {
        return;
    }
    const std::vector<KindRecord> kinds = std::move(report.kinds);
    report.kinds.clear();
    for (const KindRecord& record : kinds) {
        showBox(kErrorCaption, fileProblemsMessage(record.kind, record.problems));
    }
}

} // namespace torvane
