// The stub's resources as compiled by windres: every dialog template read
// back from the binary and compared with its table (styles, positions, sizes,
// identifiers, texts, font), the two icon images and the string table. The
// resource compiler adds styles of its own; this is where that would show.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr int kIconOrdinal = -300;  // a control text that is resource ordinal 300

struct Control {
    int id;
    std::string class_name;
    DWORD style;
    DWORD ex_style;
    short x, y, cx, cy;
    std::string text;  // "" or the text; ordinal texts are compared separately
    int ordinal = 0;   // kIconOrdinal when the text is an icon resource
};

struct Dialog {
    DWORD style = 0;
    DWORD ex_style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string caption;
    WORD point_size = 0;
    std::string face;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::vector<Control> controls;
};

// Reads the packed template words, strings and ordinals in order.
class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : at_(data) {}
    WORD Word() { WORD value; std::memcpy(&value, at_, 2); at_ += 2; return value; }
    DWORD Dword() { DWORD value; std::memcpy(&value, at_, 4); at_ += 4; return value; }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte() { return *at_++; }
    // A string or, after 0xFFFF, an ordinal (returned negated in `ordinal`).
    std::string StringOrOrdinal(int* ordinal = nullptr) {
        const WORD first = Word();
        if (first == 0xFFFF) {
            const int value = Word();
            if (ordinal != nullptr) *ordinal = -value;
            return "#" + std::to_string(value);
        }
        std::string text;
        for (WORD c = first; c != 0; c = Word()) text.push_back(static_cast<char>(c));
        return text;
    }
    void AlignToDword(const BYTE* base) {
        while ((at_ - base) % 4 != 0) ++at_;
    }

private:
    const BYTE* at_;
};

Dialog LoadDialog(int id) {
    Dialog dialog;
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (resource == nullptr) return dialog;
    const auto* base = static_cast<const BYTE*>(LockResource(LoadResource(module, resource)));
    TemplateReader read(base);
    const bool extended = read.Word() == 1 && read.Word() == 0xFFFF;
    if (!extended) read = TemplateReader(base);
    if (extended) read.Dword();  // help id
    if (extended) {
        dialog.ex_style = read.Dword();
        dialog.style = read.Dword();
    } else {
        dialog.style = read.Dword();
        dialog.ex_style = read.Dword();
    }
    const WORD count = read.Word();
    dialog.x = read.Short();
    dialog.y = read.Short();
    dialog.cx = read.Short();
    dialog.cy = read.Short();
    read.StringOrOrdinal();  // menu
    read.StringOrOrdinal();  // class
    dialog.caption = read.StringOrOrdinal();
    if ((dialog.style & DS_SETFONT) != 0) {
        dialog.point_size = read.Word();
        if (extended) {
            dialog.weight = read.Word();
            dialog.italic = read.Byte();
            dialog.charset = read.Byte();
        }
        dialog.face = read.StringOrOrdinal();
    }
    for (WORD i = 0; i < count; ++i) {
        read.AlignToDword(base);
        Control control;
        if (extended) {
            read.Dword();  // help id
            control.ex_style = read.Dword();
            control.style = read.Dword();
        } else {
            control.style = read.Dword();
            control.ex_style = read.Dword();
        }
        control.x = read.Short();
        control.y = read.Short();
        control.cx = read.Short();
        control.cy = read.Short();
        control.id = extended ? static_cast<int>(read.Dword()) : static_cast<short>(read.Word());
        int class_ordinal = 0;
        control.class_name = read.StringOrOrdinal(&class_ordinal);
        // Ordinal classes of the standard controls, should a compiler use them.
        if (class_ordinal == -0x80) control.class_name = "BUTTON";
        if (class_ordinal == -0x81) control.class_name = "EDIT";
        if (class_ordinal == -0x82) control.class_name = "STATIC";
        control.text = read.StringOrOrdinal(&control.ordinal);
        if (control.ordinal != 0) control.text.clear();
        const WORD extra = read.Word();
        for (WORD skip = 0; skip < extra; ++skip) read.Byte();
        dialog.controls.push_back(control);
    }
    return dialog;
}

void ExpectDialog(int id, const Dialog& expected) {
    SCOPED_TRACE("dialog " + std::to_string(id));
    const Dialog actual = LoadDialog(id);
    EXPECT_EQ(actual.style, expected.style) << std::hex << actual.style;
    EXPECT_EQ(actual.ex_style, expected.ex_style);
    EXPECT_EQ(actual.x, expected.x);
    EXPECT_EQ(actual.y, expected.y);
    EXPECT_EQ(actual.cx, expected.cx);
    EXPECT_EQ(actual.cy, expected.cy);
    EXPECT_EQ(actual.caption, expected.caption);
    EXPECT_EQ(actual.point_size, 8);
    EXPECT_EQ(actual.face, "MS Shell Dlg");
    EXPECT_EQ(actual.weight, expected.weight);
    EXPECT_EQ(actual.italic, expected.italic);
    EXPECT_EQ(actual.charset, expected.charset);
    ASSERT_EQ(actual.controls.size(), expected.controls.size());
    for (size_t i = 0; i < expected.controls.size(); ++i) {
        const Control& a = actual.controls[i];
        const Control& e = expected.controls[i];
        SCOPED_TRACE("control " + std::to_string(e.id) + " (" + std::to_string(i) + ")");
        EXPECT_EQ(a.id, e.id);
        EXPECT_EQ(a.class_name, e.class_name);
        EXPECT_EQ(a.style, e.style) << std::hex << a.style;
        EXPECT_EQ(a.ex_style, e.ex_style);
        EXPECT_EQ(a.x, e.x);
        EXPECT_EQ(a.y, e.y);
        EXPECT_EQ(a.cx, e.cx);
        EXPECT_EQ(a.cy, e.cy);
        EXPECT_EQ(a.text, e.text);
        EXPECT_EQ(a.ordinal, e.ordinal);
    }
}

TEST(ResourceTemplates, WelcomePage102) {
    Dialog d;
    d.style = 0x80C800C0;
    d.x = 20, d.y = 30, d.cx = 230, d.cy = 131;
    d.caption = "Welcome to Setup";
    d.controls = {
        {300, "STATIC", kChild | SS_ICON | WS_GROUP, 0, 25, 20, 18, 20, "", kIconOrdinal},
        {1003, "STATIC", kChild | SS_LEFT | WS_GROUP, 0, 56, 9, 151, 56, ""},
        {1004, "STATIC", kChild | SS_LEFT | WS_GROUP, 0, 27, 71, 177, 42, ""},
    };
    ExpectDialog(102, d);
}

TEST(ResourceTemplates, InstallWherePage107) {
    Dialog d;
    d.style = 0x90C800C4;
    d.x = 10, d.y = 20, d.cx = 230, d.cy = 131;
    d.caption = "Where to install?";
    d.controls = {
        {-1, "STATIC", kChild | SS_LEFT | WS_GROUP, 0, 11, 33, 19, 7, "Path:"},
        {1024, "EDIT", kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 35, 31, 138, 12, ""},
        {1007, "BUTTON", kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, 179, 30, 36, 13, "Browse"},
        {-1, "STATIC", kChild | SS_LEFT | WS_GROUP, 0, 56, 71, 132, 31,
         "If you want to install into a different directory, click the Browse button and/or type in the new "
         "directory name."},
    };
    ExpectDialog(107, d);
}

TEST(ResourceTemplates, FinishPage101) {
    Dialog d;
    d.style = 0x80C800C4;
    d.x = 10, d.y = 20, d.cx = 230, d.cy = 132;
    d.caption = "Install";
    d.controls = {
        {300, "STATIC", kChild | SS_ICON | WS_GROUP, 0, 25, 24, 18, 20, "", kIconOrdinal},
        {1003, "STATIC", kChild | SS_LEFT | WS_GROUP, 0, 60, 23, 153, 28, ""},
        {1004, "STATIC", kChild | SS_LEFT | WS_GROUP, 0, 31, 61, 180, 55, ""},
    };
    ExpectDialog(101, d);
}

TEST(ResourceTemplates, LicenceDialog104IsAnExtendedTemplate) {
    Dialog d;
    d.style = 0x80C800C4;
    d.x = 10, d.y = 20, d.cx = 252, d.cy = 218;
    d.caption = "Software License Agreement";
    d.charset = 1;
    constexpr DWORD kText = kChild | SS_LEFT | WS_GROUP;
    d.controls = {
        {1010, "EDIT", kChild | WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY,
         WS_EX_NOPARENTNOTIFY, 7, 32, 238, 130, ""},
        {1011, "STATIC", kText, 0, 7, 165, 295, 8,
         "Do you accept all of the terms of the preceding License Agreement?"},
        {1012, "STATIC", kText, WS_EX_TRANSPARENT, 7, 174, 233, 16,
         "If you do not choose Accept, Setup will not continue.  To install this program, you must accept this "
         "agreement."},
        {1013, "STATIC", kText, 0, 53, 8, 199, 9, "Please read the following license agreement."},
        {1014, "STATIC", kText, 0, 53, 17, 208, 10, "Press the PAGE DOWN key to see the rest of the agreement."},
        {101, "BUTTON", kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, 121, 192, 59, 14, "Accept"},
        {102, "BUTTON", kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, 190, 192, 56, 14, "Exit Setup"},
        {-1, "STATIC", kChild | SS_ICON, 0, 16, 6, 18, 20, "", kIconOrdinal},
    };
    ExpectDialog(104, d);
}

TEST(ResourceTemplates, IconGroup300HoldsA32And16PixelImageOf16Colours) {
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(300), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    WORD count;
    std::memcpy(&count, data + 4, 2);
    ASSERT_EQ(count, 2);
    for (int i = 0; i < count; ++i) {
        const BYTE* entry = data + 6 + 14 * i;  // width, height, colours, reserved, planes, bit count, ...
        const int size = i == 0 ? 32 : 16;
        EXPECT_EQ(entry[0], size);
        EXPECT_EQ(entry[1], size);
        EXPECT_EQ(entry[2], 16);
        WORD bit_count;
        std::memcpy(&bit_count, entry + 6, 2);
        EXPECT_EQ(bit_count, 4);
    }
}

TEST(ResourceTemplates, StringTableCarriesItsTwoEntries) {
    char text[256] = "";
    ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), 999, text, sizeof text), 0);
    EXPECT_STREQ(text, "This program cannot be installed unless you agree to the terms of the license agreement.");
    ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), 1016, text, sizeof text), 0);
    EXPECT_STREQ(text, "Install");
}

}  // namespace
