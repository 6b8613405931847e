// The licence text as the licence box will show it: ANSI text with CR LF
// line ends, up to its first NUL byte.
#include <algorithm>

#include "check/check_context.h"
#include "packing/text_encoding.h"

namespace kqpack {
namespace {

// The word around the first non-ASCII byte: enough to recognise the spot.
std::string_view WordAtFirstNonAscii(std::string_view line) {
    size_t at = 0;
    while (at < line.size() && static_cast<unsigned char>(line[at]) < 0x80) ++at;
    size_t start = line.rfind(' ', at);
    start = start == std::string_view::npos ? 0 : start + 1;
    const size_t end = std::min(line.find(' ', at), line.size());
    return line.substr(start, std::min<size_t>(end - start, 40));
}

constexpr size_t kLargestQuickLicence = 256 * 1024;

void Warn(const CheckContext& c, size_t line, std::string text) {
    Location where = c.setup.licence_location;
    where.line = line;
    c.report.Add(Finding{Severity::kWarning, where, "", std::move(text)});
}

}  // namespace

void CheckLicence(const CheckContext& c) {
    const std::string& text = c.setup.licence_text;
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
        Warn(c, 0, "the licence is empty, so the user accepts a blank page: write the licence terms");
        return;
    }
    // The licence box takes the whole text at once: 10 MB take 10 s to show.
    if (text.size() > kLargestQuickLicence)
        Warn(c, 0, std::to_string(text.size() / 1024) + " KB; the licence box is slow to show a licence over " +
                       std::to_string(kLargestQuickLicence / 1024) + " KB (10 MB take 10 s): shorten it");
    if (StartsWithUtf8Bom(text))
        Warn(c, 1, "starts with a UTF-8 byte order mark, which the licence box shows as \"" + Cp1252ToUtf8(text.substr(0, 3)) +
                       "\": save the licence as ANSI (Windows-1252) text");
    bool reported_text = false, reported_lf = false;
    size_t line = 1, start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view content = std::string_view(text).substr(start, end - start);
        const bool crlf = !content.empty() && content.back() == '\r';
        if (crlf) content.remove_suffix(1);
        if (end < text.size() && !crlf && !reported_lf) {
            Warn(c, line, "line ends are a bare LF; the licence box of older Windows versions shows such text as "
                          "one long line: save the licence with CR LF line ends");
            reported_lf = true;
        }
        const size_t nul = content.find('\0');
        if (nul != std::string_view::npos) {
            Warn(c, line, "holds a NUL byte; the licence box shows the text only up to it: remove it");
            return;
        }
        const AnsiProblem problem = FindAnsiProblem(line == 1 && StartsWithUtf8Bom(content) ? content.substr(3) : content);
        if (!reported_text && (problem.kind == AnsiProblem::Kind::kUtf8 || problem.kind == AnsiProblem::Kind::kUtf8NotInCodePage)) {
            const std::string_view word = WordAtFirstNonAscii(content);
            Warn(c, line, "UTF-8 text; the licence box shows it in the ANSI code page, so \"" + std::string(word) +
                              "\" would read \"" + Cp1252ToUtf8(word) + "\": save the licence as ANSI (Windows-1252) text");
            reported_text = true;
        }
        start = end + 1;
        ++line;
    }
}

}  // namespace kqpack
