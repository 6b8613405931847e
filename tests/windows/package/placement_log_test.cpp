// Placement remembers, per script, where its first-free scans found the keys
// taken. The log it writes must be byte for byte what placements scanning
// from 'a' every time write: the same keys, letters, values and order, with
// keys the author wrote, empty values, refused names and full sequences.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "package/install_placement.h"
#include "support/wine_paths.h"

namespace {

struct Placement {
    int result;
    std::string destination;
    int copy_mode;
    bool operator==(const Placement&) const = default;
};

void PrintTo(const Placement& placement, std::ostream* out) {
    *out << placement.result << " " << placement.destination << " mode " << placement.copy_mode;
}

Placement Place(const std::string& name, const std::string& script) {
    char destination[256] = "C:\\Program Files\\Placed";
    int copy_mode = 0;
    const int result = kq::PlaceRecord(reinterpret_cast<const uint8_t*>(name.data()),
                                       static_cast<uint32_t>(name.size()), destination, script.c_str(), copy_mode);
    return {result, destination, copy_mode};
}

struct LogCase {
    const char* name;
    std::string script;
    std::vector<std::string> stored_names;
    // Run between placements on the script, in both runs alike.
    std::function<void(const std::string& script, size_t placed)> between = nullptr;
};

struct Outcome {
    std::vector<Placement> placements;
    std::string log;
};

// All placements on one script, as an installation makes them.
Outcome Remembering(const std::string& folder, const LogCase& c) {
    Outcome outcome;
    const std::string script = folder + "\\remembering.inf";
    kqtest::WriteBytes(script, c.script);
    for (size_t i = 0; i < c.stored_names.size(); ++i) {
        outcome.placements.push_back(Place(c.stored_names[i], script));
        if (c.between) c.between(script, i);
    }
    outcome.log = kqtest::ReadBytes(script);
    return outcome;
}

// Each placement on a copy under a new name, which placement has never seen:
// every scan starts from 'a'.
Outcome FromScratch(const std::string& folder, const LogCase& c) {
    Outcome outcome;
    std::string script = folder + "\\scratch-start.inf";
    kqtest::WriteBytes(script, c.script);
    for (size_t i = 0; i < c.stored_names.size(); ++i) {
        const std::string next = folder + "\\scratch-" + std::to_string(i) + ".inf";
        CopyFileA(script.c_str(), next.c_str(), FALSE);
        DeleteFileA(script.c_str());
        script = next;
        outcome.placements.push_back(Place(c.stored_names[i], script));
        if (c.between) c.between(script, i);
    }
    outcome.log = kqtest::ReadBytes(script);
    DeleteFileA(script.c_str());
    return outcome;
}

std::vector<std::string> Numbered(size_t count, const std::function<std::string(size_t)>& name) {
    std::vector<std::string> names;
    for (size_t i = 0; i < count; ++i) names.push_back(name(i));
    return names;
}

const std::string kScript = "[Install]\r\nAppName=Placed\r\nFileNum=150\r\n";

TEST(PlacementLog, RememberedScansWriteTheSameLogAsScansFromA) {
    const std::vector<LogCase> cases = {
        {"an installation's worth of files, a quarter in subfolders", kScript,
         Numbered(150, [](size_t i) { return (i % 4 == 3 ? "sub" + std::to_string(i % 3) + "\\" : "") +
                                             "file" + std::to_string(i) + ".dat"; })},
        {"keys the author wrote, with gaps and empty values",
         kScript + "[Copymode]\r\nfileb=3\r\nfiled=2\r\nfilee=8\r\n[Uninstall]\r\nfilea=pre\r\nfileb=\r\nfilec=pre\r\n"
                   "direa=x\r\ndirec=y\r\n",
         Numbered(40, [](size_t i) { return (i % 2 ? "d\\" : "") + std::to_string(i) + ".txt"; })},
        {"deep, blank and leading-backslash directories", kScript,
         {"a\\b\\c\\d.txt", "\\lead.txt", " \\blank.txt", "a\\b\\e.txt", "plain.txt", "\\\\twice.txt", "a\\f.txt",
          "  \\two-blanks.txt", "x\\y\\z\\w\\v.txt"}},
        {"refused names between placed ones", kScript,
         {"one.txt", "..\\out.txt", "sub\\two.txt", std::string(250, 'n'), "three.txt", "sub\\..\\..\\out.txt",
          "sub\\four.txt"}},
        {"more files than file letters", kScript, Numbered(170, [](size_t i) { return std::to_string(i) + ".dat"; })},
        {"more directories than dire letters", kScript,
         Numbered(90, [](size_t i) { return "p" + std::to_string(i) + "\\q\\f.dat"; })},
        {"another writer adding keys between placements", kScript,
         Numbered(30, [](size_t i) { return "s\\" + std::to_string(i) + ".dat"; }),
         [](const std::string& script, size_t placed) {
             const std::string letter(1, static_cast<char>('a' + 2 * placed + 1));
             WritePrivateProfileStringA("Uninstall", ("file" + letter).c_str(), "other", script.c_str());
             WritePrivateProfileStringA("Uninstall", ("dire" + letter).c_str(), "other", script.c_str());
         }},
    };
    for (const LogCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = kqtest::MakeScratchFolder("placement-log");
        const Outcome expected = FromScratch(folder, c);
        const Outcome remembered = Remembering(folder, c);
        EXPECT_EQ(remembered.placements, expected.placements);
        EXPECT_EQ(remembered.log, expected.log);
        DeleteFileA((folder + "\\remembering.inf").c_str());
        RemoveDirectoryA(folder.c_str());
    }
}

// A script replaced by a shorter one under the same name is scanned afresh.
TEST(PlacementLog, ScriptReplacedUnderTheSameNameIsScannedAfresh) {
    const std::string script = kqtest::MakeScratchFolder("placement-log") + "\\Uninstal.inf";
    kqtest::WriteBytes(script, kScript);
    for (int i = 0; i < 20; ++i) Place("f" + std::to_string(i) + ".txt", script);
    kqtest::WriteBytes(script, kScript);
    const Placement placed = Place("again.txt", script);
    EXPECT_EQ(placed.result, 1);
    char value[256] = {};
    GetPrivateProfileStringA("Uninstall", "filea", "", value, sizeof value, script.c_str());
    EXPECT_STREQ(value, "C:\\Program Files\\Placed\\again.txt");
}

}  // namespace
