// Collecting and printing checker findings.
#include "check/check_report.h"

#include <algorithm>
#include <tuple>
#include <unordered_map>
#include <utility>

#include "packing/file_io.h"

namespace kqpack {

std::string FormatFinding(const Finding& finding) {
    std::string text = finding.where.file;
    if (finding.where.line > 0) {
        text += ':';
        text += std::to_string(finding.where.line);
    }
    static const char* const kLabels[] = {"error", "warning", "note"};
    text += std::string(": ") + kLabels[static_cast<int>(finding.severity)] + ": ";
    if (!finding.subject.empty()) text += finding.subject + ": ";
    return text + finding.text;
}

void CheckReport::Error(size_t line, std::string subject, std::string text) {
    Push(Severity::kError, line, std::move(subject), std::move(text));
}
void CheckReport::Warning(size_t line, std::string subject, std::string text) {
    Push(Severity::kWarning, line, std::move(subject), std::move(text));
}
void CheckReport::Note(size_t line, std::string subject, std::string text) {
    Push(Severity::kNote, line, std::move(subject), std::move(text));
}

void CheckReport::Push(Severity severity, size_t line, std::string subject, std::string text) {
    findings_.push_back(Finding{severity, locate_(line), std::move(subject), std::move(text)});
}

size_t CheckReport::Count(Severity severity) const {
    return static_cast<size_t>(
        std::count_if(findings_.begin(), findings_.end(), [&](const Finding& f) { return f.severity == severity; }));
}

bool CheckReport::Refuses(bool strict) const {
    return Count(Severity::kError) > 0 || (strict && Count(Severity::kWarning) > 0);
}

void PrintFindings(const CheckReport& report, std::ostream& out) {
    // In line order within each file, files in the order they first come up;
    // each finding's place is worked out once (a package of 100,000 records
    // has as many files).
    std::unordered_map<std::string, size_t> file_order;
    std::vector<std::tuple<size_t, size_t, const Finding*>> ordered;
    for (const Finding& finding : report.findings()) {
        const size_t file = file_order.emplace(finding.where.file, file_order.size()).first->second;
        ordered.emplace_back(file, finding.where.line, &finding);
    }
    std::stable_sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) {
        return std::tie(std::get<0>(a), std::get<1>(a)) < std::tie(std::get<0>(b), std::get<1>(b));
    });
    for (const auto& [file, line, finding] : ordered) out << FormatFinding(*finding) << "\n";
}

std::string SummaryOf(const CheckReport& report) {
    auto counted = [](size_t n, const char* word) { return std::to_string(n) + " " + word + (n == 1 ? "" : "s"); };
    return counted(report.Count(Severity::kError), "error") + ", " +
           counted(report.Count(Severity::kWarning), "warning");
}

}  // namespace kqpack

namespace kqpack {

void PrintOrRefuse(const CheckReport& report, bool strict, const std::string& what, const std::string& consequence,
                   std::ostream& out) {
    PrintFindings(report, out);
    if (report.Refuses(strict)) {
        std::string why = SummaryOf(report);
        if (report.Count(Severity::kError) == 0) why += " (--strict)";
        throw InputError{what + ": " + why + "; " + consequence};
    }
}

}  // namespace kqpack
