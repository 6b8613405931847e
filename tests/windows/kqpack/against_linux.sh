#!/usr/bin/env bash
# kqpack.exe against the Linux kqpack. A batch file plays an author's session
# under Wine: kqstub.exe beside kqpack.exe, Windows paths. Its packages must be
# the Linux tool's bytes, its listings and checks the Linux tool's words.
#
#   against_linux.sh BIN_DIR EXAMPLE_DIR WINE_RUN
set -euo pipefail
bin=$1 example=$2 wine_run=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir bin out names win linux
cp "$bin/kqpack.exe" "$bin/kqstub.exe" bin/
cp -r "$example" hello
ln -s ../out linux/out
zwork="Z:${work//\//\\}"
printf '[Project]\nscript=..\\hello\\setup.inf\nlicense=%s\\hello\\license.txt\noutput=..\\out\\win.exe\nroot=..\\hello\\files\n[Files]\nhello.bat\nreadme.txt\ndocs\\*.txt\n' "$zwork" >win/win.kqp
touch names/c€.txt names/łódź.txt out/locked.exe
chmod a-w out/locked.exe hello/files/readme.txt
printf '[Project]\nscript=../hello/setup.inf\nlicense=../hello/license.txt\noutput=../out/ok.exe\n[Files]\nc€.txt\n' >names/ok.kqp
printf '[Project]\nscript=../hello/setup.inf\nlicense=../hello/license.txt\noutput=../out/bad.exe\n[Files]\n*.txt\n' >names/bad.kqp
# Local time east of UTC, which SOURCE_DATE_EPOCH overrules: both tools take
# the times as UTC, the files' (2021) clamped to it, the script's and the
# licence's (2019) as they are.
export TZ=KQT-5:30 SOURCE_DATE_EPOCH=1600000000
find hello -type f -exec touch -d @1625142897 {} +
touch -d @1560000001 hello/setup.inf hello/license.txt

oem_e=$'\x82'  # é as cmd reads the batch file, in the OEM code page
# EXIT|ARGS|words in the output; EXIT "=" wants exit 0 and the words of the
# Linux tool, run with the same arguments.
rows=(
  '0|build win\win.kqp|'
  '0|build win\win.kqp|'
  "0|build --stub bin\\kqstub.exe --script $zwork\\hello\\setup.inf --license hello/license.txt -o out\\cmd.exe -C hello\\files hello.bat readme.txt docs\\notes.txt|"
  "0|build names\\ok.kqp -o out\\caf$oem_e.exe|"
  "0|list --json out/caf$oem_e.exe|\"c\\u20AC.txt\""
  "0|extract out/caf$oem_e.exe y|"
  '1|build names\bad.kqp|names\bad.kqp:6: error: łódź.txt: not in the ANSI code page'
  '1|build C:win.kqp|kqpack: C:win.kqp: relative to the current drive'
  '1|build \win.kqp|kqpack: \win.kqp: relative to the current drive'
  '1|build win\win.kqp -o out\locked.exe|kqpack: out\locked.exe: read-only'
  '=|list out/win.exe'
  '=|check out/win.exe'
  '=|extract out/win.exe x'
  '=|verify out/win.exe'
)
for i in "${!rows[@]}"; do
  IFS='|' read -r _ args _ <<<"${rows[$i]}"
  printf 'bin\\kqpack.exe %s >r%d.out 2>r%d.err\r\n>r%d.code echo %%ERRORLEVEL%%\r\n' "$args" "$i" "$i" "$i"
done >session.bat
printf 'exit 0\r\n' >>session.bat  # the rows' exit codes are in their files
if [ "$(id -u)" -eq 0 ] && id -u kqtest >/dev/null 2>&1; then chown -R kqtest: "$work"; fi
KQ_WINE_FRESH=kqpack_exe "$wine_run" cmd /c session.bat >/dev/null

status=0
fail() { echo "against_linux: $*" >&2; status=1; }
for i in "${!rows[@]}"; do
  IFS='|' read -r code args words <<<"${rows[$i]}"
  # shellcheck disable=SC2086
  [ "$code" != "=" ] || { code=0; words=$(cd linux && "$bin/kqpack" $args 2>&1); }
  got=$(cat "r$i.code" "r$i.out" "r$i.err" | tr -d '\r')
  [[ $got == "$code"* && $got == *"$words"* ]] || fail "$args: wanted exit $code and \"$words\", got \"$got\""
done
"$bin/kqpack" build hello/hello.kqp --stub bin/kqstub.exe -o linux/hello.exe
cmp out/win.exe linux/hello.exe || fail "the packages differ"
diff -r x linux/x || fail "extracted files differ"
[[ $(LC_ALL=C ls out) == "$(printf '%s\n' café.exe cmd.exe locked.exe win.exe)" && ! -s out/locked.exe ]] ||
  fail "out/ holds $(ls out | tr '\n' ' ')"
[ -f y/c€.txt ] || fail "y/ holds $(ls y | tr '\n' ' ')"
exit "$status"
