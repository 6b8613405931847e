// Help texts. The overview stays short; each command's help says everything.
#include "commands/usage_text.h"

namespace kqpack {

const char* const kGeneralUsage =
    "usage:\n"
    "  kqpack build PROJECT.kqp [--stub STUB] [-o OUT.exe] [--strict] [--sign-cmd CMD]\n"
    "  kqpack build --stub STUB --script SETUP.INF --license LICENSE.TXT -o OUT.exe [-C DIR] [--strict]\n"
    "               [--sign-cmd CMD] FILE...\n"
    "  kqpack check [--strict] [--license LICENSE.TXT] [-C DIR] SETUP.INF [FILE...]\n"
    "  kqpack check [--strict] PROJECT.kqp | SETUP.exe\n"
    "  kqpack verify SETUP.exe\n"
    "  kqpack list [--json] SETUP.exe\n"
    "  kqpack extract SETUP.exe DIR\n"
    "  kqpack try SETUP.exe [--keep] [--screenshot FILE]\n"
    "  kqpack lzhuf -e|-d IN OUT\n"
    "  kqpack --help | --version | COMMAND --help\n"
    "exit codes: 0 ok, 1 bad input (or a failed check), 2 usage\n"
    "docs/authoring.md is the package author's guide.\n";

namespace {

const char* const kBuildUsage =
    "usage:\n"
    "  kqpack build PROJECT.kqp [--stub STUB] [-o OUT.exe] [--strict] [--sign-cmd CMD]\n"
    "  kqpack build --stub STUB --script SETUP.INF --license LICENSE.TXT -o OUT.exe [-C DIR] [--strict]\n"
    "               [--sign-cmd CMD] FILE...\n"
    "\n"
    "Makes a setup program: the stub (exactly 43008 bytes) followed by the records\n"
    "of the setup script, the licence and the files, in install order, and an\n"
    "integrity record with the CRCs the installer checks. Every record is decoded\n"
    "again and compared with its source before anything is written.\n"
    "\n"
    "When done it prints one line: the output, the files, their size and the packed\n"
    "size; on a terminal, a build that takes longer than a second shows a progress\n"
    "line meanwhile. --quiet leaves both out.\n"
    "\n"
    "--sign-cmd (or sign= in the project file) runs a code signer on the finished\n"
    "package: CMD holds {in} and {out}, which become the unsigned and the signed\n"
    "file, e.g. 'osslsigncode sign -pkcs12 my.pfx -in {in} -out {out}'. The signed\n"
    "file must verify (kqpack verify) before it is written as the output.\n"
    "\n"
    "From a project file, the paths in it are relative to it; --stub and -o replace\n"
    "its stub= and output=. Without either, kqpack.exe on Windows takes the\n"
    "kqstub.exe in its own folder. The packaged script gets FileNum and one\n"
    "[Copymode] key per file written in; the author's file is not changed.\n"
    "\n"
    "From the command line, each FILE is relative to DIR (default: the current folder)\n"
    "and is stored by that path with backslashes; the script is packaged as written.\n"
    "\n"
    "Either way the script is checked first (see kqpack check --help): errors refuse\n"
    "the build and write nothing; warnings are printed, and refuse with --strict.\n"
    "Building the same inputs twice gives the same bytes; with SOURCE_DATE_EPOCH set,\n"
    "file times are clamped to it and taken as UTC, so any machine in any time zone\n"
    "gives the same bytes.\n";

const char* const kVerifyUsage =
    "usage: kqpack verify SETUP.exe\n"
    "\n"
    "Checks that a setup program installs exactly what was packaged: the stub, every\n"
    "record up to the package's end (where a code signature's certificate table\n"
    "starts), the integrity record and every CRC, each record decoded. With\n"
    "osslsigncode installed, also that a code signature covers the file as it is.\n"
    "Exit code 1 when anything fails.\n";

const char* const kCheckUsage =
    "usage:\n"
    "  kqpack check [--strict] [--license LICENSE.TXT] [-C DIR] SETUP.INF [FILE...]\n"
    "  kqpack check [--strict] PROJECT.kqp\n"
    "  kqpack check [--strict] SETUP.exe\n"
    "\n"
    "Tells what the installer would do wrong with a setup script, before it ships.\n"
    "SETUP.INF is checked against the FILEs as they would be stored (without any,\n"
    "FileNum is taken as the file count), each FILE relative to DIR, where it must\n"
    "exist, when -C is given; PROJECT.kqp as it would be built; SETUP.exe (anything\n"
    "starting with MZ) against the records it carries.\n"
    "\n"
    "Errors: FileNum not the number of files; AppName empty or not a plain name\n"
    "(setup would stop with \"Setup Error!\"); DefDir empty; a value over 254\n"
    "characters; a stored name Windows cannot create or that leaves the install\n"
    "folder; a path over 255 characters under \"C:\\Program Files\\\" + DefDir.\n"
    "Warnings: gaps in dll, link or linkfile keys; [Copymode] values other than 1, 2,\n"
    "3, 8 or keys no file takes; dll and link targets that are not packaged; shortcut\n"
    "names without a '.'; Desk or QLaunch without links; an [Uninstall] section;\n"
    "text outside the ANSI code page; repeated, misspelt or unread keys and sections;\n"
    "folders an uninstall would leave; files landing on one file; configuration\n"
    "files (.ini, .cfg, .conf, .json, .xml, .config) on copy mode 1 (replace); a\n"
    "licence with bare LF line ends.\n"
    "Notes: no CompReg (the uninstaller leaves the program's registry key alone); no\n"
    "links (setup only says it is complete, and starts nothing).\n"
    "\n"
    "Findings go to stderr as FILE:LINE: error|warning|note: [Section] key: what to do,\n"
    "then the summary (mistakes in a project file read the same way). Exit 0 when\n"
    "there is no error (and, with --strict, no warning), else 1.\n";

const char* const kListUsage =
    "usage: kqpack list [--json] SETUP.exe\n"
    "\n"
    "One line per record (number, size, packed size, date, time, attributes, stored\n"
    "name), then totals. With --json, one object: stub_length, file_num (FileNum of\n"
    "the packaged script), records (index, role script|licence|file, name, offset,\n"
    "record_length, size, date, time, attributes; for files also uninstall_key, the\n"
    "[Uninstall] file key the file will take, and copy_mode), total_size and\n"
    "total_packed. Names are read as Windows-1252 and written with \\u escapes.\n";

const char* const kExtractUsage =
    "usage: kqpack extract SETUP.exe DIR\n"
    "\n"
    "Writes every record under DIR by its stored name (backslashes become folders):\n"
    "kqsetup.inf, License.txt and the files. A package holding a name the installer\n"
    "would refuse (one that leaves DIR, among others) is refused before anything is\n"
    "written.\n";

const char* const kTryUsage =
    "usage: kqpack try SETUP.exe [--keep] [--screenshot FILE]\n"
    "\n"
    "Installs SETUP.exe under Wine in a fresh Wine prefix of its own, unattended\n"
    "(/S), checks that everything its uninstall log (Uninstal.inf) lists is there,\n"
    "prints the installed files, the log's [Uninstall] section, the uninstall entry's\n"
    "registry values and the shortcuts, uninstalls it by the entry's\n"
    "QuietUninstallString and prints what is left. Exit 1 when a run fails, the log\n"
    "lists something that is not there, or the uninstall leaves anything but the\n"
    "shared uninstaller (C:\\windows\\Dizizev3.exe).\n"
    "\n"
    "--keep keeps the prefix and prints where it is. --screenshot FILE, after all\n"
    "that, starts the setup as a user would, on a virtual display (xvfb-run), and\n"
    "saves the screen with the wizard's first page as FILE (a PNG for FILE.png).\n"
    "\n"
    "Needs Wine: for a package on kqstub64.exe, the Debian package wine64; on the\n"
    "shipped 32-bit kqstub.exe, wine32:i386 too. A screenshot needs xvfb, x11-apps\n"
    "and imagemagick. Linux only.\n";

const char* const kLzhufUsage =
    "usage: kqpack lzhuf -e|-d IN OUT\n"
    "\n"
    "Encodes (-e) or decodes (-d) a raw LZHUF stream: a 4-byte little-endian size,\n"
    "then the code, in the layout of the 1988 reference program. Encoding gives its\n"
    "bytes, except that a code longer than 16 bits, which it cut short, is written\n"
    "whole. A stream stating more bytes than its code could hold is refused.\n";

}  // namespace

const char* CommandUsage(std::string_view command) {
    if (command == "build") return kBuildUsage;
    if (command == "check") return kCheckUsage;
    if (command == "list") return kListUsage;
    if (command == "verify") return kVerifyUsage;
    if (command == "extract") return kExtractUsage;
    if (command == "try") return kTryUsage;
    if (command == "lzhuf") return kLzhufUsage;
    return nullptr;
}

}  // namespace kqpack
