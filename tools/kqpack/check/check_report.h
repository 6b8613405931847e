// Findings of the setup checker: where (file and line), about what (section
// and key), and what to do, as errors that stop a build, warnings that stop
// it only under --strict, and notes.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace kqpack {

enum class Severity { kError, kWarning, kNote };

struct Location {
    std::string file;
    size_t line = 0;  // 0: the file as a whole
};

struct Finding {
    Severity severity;
    Location where;
    std::string subject;  // "[Install] FileNum", a stored name, or empty
    std::string text;
};

// "setup.inf:12: warning: [Copymode] filed: no fourth file is packaged (FileNum=3)"
std::string FormatFinding(const Finding& finding);

class CheckReport {
public:
    // `locate` turns a line of the checked script into the place to name: the
    // author's file and line, or the project line a generated key came from.
    explicit CheckReport(std::function<Location(size_t line)> locate) : locate_(std::move(locate)) {}

    void Error(size_t line, std::string subject, std::string text);
    void Warning(size_t line, std::string subject, std::string text);
    void Note(size_t line, std::string subject, std::string text);
    void Add(Finding finding) { findings_.push_back(std::move(finding)); }

    const std::vector<Finding>& findings() const { return findings_; }
    size_t Count(Severity severity) const;
    // Errors refuse; warnings refuse too when `strict`.
    bool Refuses(bool strict) const;

private:
    void Push(Severity severity, size_t line, std::string subject, std::string text);
    std::function<Location(size_t)> locate_;
    std::vector<Finding> findings_;
};

// Every finding, one per line, then nothing else.
void PrintFindings(const CheckReport& report, std::ostream& out);
// "2 errors, 1 warning"
std::string SummaryOf(const CheckReport& report);

}  // namespace kqpack

namespace kqpack {

// Prints the findings to `out`; when the report refuses (errors, or warnings
// under `strict`) throws InputError "<what>: 2 errors, 1 warning; <consequence>".
void PrintOrRefuse(const CheckReport& report, bool strict, const std::string& what, const std::string& consequence,
                   std::ostream& out);

}  // namespace kqpack
