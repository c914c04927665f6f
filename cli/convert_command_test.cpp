#include "base/memory.h"
#include "files/test_support.h"
#include "profiles/profile_file.h"
#include "profiles/profile_list_file.h"
#include "render/converter.h"
#include "render/rtf_text.h"
#include "render/style_sheet.h"
#include "settings/cpp_defaults.h"
#include "settings/dialog_round_trip.h"
#include "text/box_text.h"
#include "text/line_ends.h"

#include <sys/wait.h>

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the built program in the current directory with `args` (shell words) and `input`.
Outcome Convert(const std::string& args, const std::string& input = "",
                const std::string& stdout_path = ".stdout") {
    WriteWholeFile(".stdin", input);
    const std::string command = std::string("'") + TARVO_CONVERT + "' " + args + " < .stdin > " +
                                stdout_path + " 2> .stderr";
    const int raw = std::system(command.c_str());
    Outcome run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadWholeFile(".stdout");
    run.err = ReadWholeFile(".stderr");
    std::filesystem::remove(".stdin");
    std::filesystem::remove(".stdout");
    std::filesystem::remove(".stderr");
    return run;
}

// What the conversion gives in the dialog for `source` typed with LF line ends.
std::string Expected(const std::string& source, int css, ProfileSettings* settings = nullptr) {
    ProfileSettings defaults;
    SetCppDefaults(defaults);
    const std::string text = WithCrLf(source);
    std::string html;
    EXPECT_EQ(ConvertSource(settings ? *settings : defaults, text, css, html), 1);
    ToLf(html);
    return html;
}

using ConvertCommand = InTempDir;

const std::string kSource = "#include <map>\n\tint main() { return 0; } // done\r\n/* x */";

} // namespace

TEST_F(ConvertCommand, ConvertsFilesAndStandardInputAlike) {
    const std::string sample = ReadWholeFile(TARVO_CLI_TESTDATA "/sample.cpp");
    const std::string golden = ReadWholeFile(TARVO_CLI_TESTDATA "/sample.html");
    ASSERT_FALSE(golden.empty());
    WriteWholeFile("sample.cpp", sample);
    Outcome from_file = Convert("sample.cpp");
    EXPECT_EQ(from_file.status, 0);
    EXPECT_EQ(from_file.err, "");
    EXPECT_EQ(from_file.out, golden);
    EXPECT_EQ(from_file.out, Expected(sample, 1));
    EXPECT_EQ(Convert("", sample).out, golden);
    EXPECT_EQ(Convert("-", sample).out, golden);
    EXPECT_EQ(Convert("-- sample.cpp").out, golden);

    // LF and CR LF give the same bytes, with LF line ends.
    std::string crlf;
    for (char c : sample) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    EXPECT_EQ(Convert("", crlf).out, golden);
    EXPECT_EQ(golden.find('\r'), std::string::npos);
    // A carriage return alone breaks the line too, as it does in the dialog's box.
    EXPECT_EQ(Convert("", "int a;\rint b;\r").out, Convert("", "int a;\nint b;\n").out);

    Outcome font = Convert("--font-markup", kSource);
    EXPECT_EQ(font.status, 0);
    EXPECT_EQ(font.out, Expected(kSource, 0));
    EXPECT_NE(font.out.find("<font color=\"#0000FF\">"), std::string::npos);

    ProfileSettings defaults;
    SetCppDefaults(defaults);
    std::string sheet = BuildStyleSheet(defaults);
    ToLf(sheet);
    EXPECT_EQ(Convert("--style-sheet").out, sheet);

    // RTF, from either style, of the text the dialog converts.
    std::string rtf;
    ASSERT_EQ(BuildRtf(WithCrLf(kSource), defaults, 1, rtf), 1);
    EXPECT_EQ(Convert("--rtf", kSource).out, rtf);
    EXPECT_EQ(Convert("--rtf -o out.rtf", kSource).status, 0);
    EXPECT_EQ(ReadWholeFile("out.rtf"), rtf);

    // Read as every way in reads: UTF-8 as it is, anything else as Latin-1.
    const std::string bytes = "s = \"\xC3\xA4\xFF\x01\"; int x;\n";
    EXPECT_EQ(Convert("", bytes).out, Expected(Latin1ToUtf8(bytes), 1));
}

TEST_F(ConvertCommand, WritesOutputFilesWholeOrNotAtAll) {
    Outcome run = Convert("-o out.html", kSource);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadWholeFile("out.html"), Expected(kSource, 1));
    EXPECT_EQ(Convert("--style-sheet -o sheet.css").status, 0);
    EXPECT_NE(ReadWholeFile("sheet.css").find(".cpp_keyword {\n"), std::string::npos);

    // A failed write names the file and leaves the old one.
    run = Convert("-o out.html/x.html", "int");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("tarvo-convert: cannot write 'out.html/x.html': "), std::string::npos);
    std::filesystem::create_directory("dir.html");
    run = Convert("-o dir.html", "int");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ReadWholeFile("out.html"), Expected(kSource, 1));
    EXPECT_EQ(Listing(), "dir.html\nout.html\nsheet.css\n");

    // A large output is written as it is made: the same bytes as on standard output, line ends
    // split across its blocks included, and on a failure half-way the old file stays. Compared
    // by cmp, so that this process stays small for the memory checks of later tests.
    const char* pieces[] = {"int ", "x",   "\r",   "\r\n",     "\n",   "/* ", " */", "\"",
                            "'",    "<&>", "// c", "#define ", "0x1F", "\t",  "\\",  "return "};
    {
        std::string big;
        uint32_t seed = 1;
        while (big.size() < (std::size_t(2) << 20)) {
            seed = seed * 1103515245u + 12345u;
            big += pieces[(seed >> 16) % std::size(pieces)];
        }
        WriteWholeFile("big.c", big);
    }
    const std::string tool = std::string("'") + TARVO_CONVERT + "' ";
    for (const char* options : {"", "-n --mark 2-40000 ", "--font-markup --all-classes "}) {
        const std::string both = tool + options + "-o big.html big.c 2>/dev/null && " + tool +
                                 options + "big.c >big.out 2>/dev/null && cmp -s big.html big.out";
        EXPECT_EQ(std::system(both.c_str()), 0) << options;
    }
    std::string limited = "sh -c 'ulimit -f 2048; exec ";
    limited += tool;
    limited += "-n -o big.html big.c 2>.stderr'";
    EXPECT_NE(std::system(limited.c_str()), 0);
    EXPECT_EQ(std::system("cmp -s big.html big.out"), 0);
    EXPECT_NE(ReadWholeFile(".stderr").find("cannot write 'big.html': File too large"),
              std::string::npos);
    EXPECT_EQ(TempFilesIn(m_dir), 0);

    if (MakeDeviceNode("full-device", 7)) {
        run = Convert("", "int", "full-device");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err,
                  "tarvo-convert: cannot write to standard output: No space left on device\n");
    }
}

TEST_F(ConvertCommand, ReadsProfilesWithoutWritingThem) {
    ProfileSettings web;
    SetCppDefaults(web);
    web.n_tab_size = -1;
    web.b_use_table = 0;
    web.n_keyword_color = 0x12345678; // the dialog shows only six digits
    ASSERT_EQ(web.SetKeywords("int  return"), 1);
    ASSERT_EQ(WriteProfileFile("web.ini", web), 1);
    ProfileList list;
    ASSERT_EQ(
        list.Add(tarvo::DuplicateString("Plain Web", 9), tarvo::DuplicateString("web.ini", 7)), 1);
    ASSERT_EQ(list.Add(tarvo::DuplicateString("broken", 6), tarvo::DuplicateString("gone.ini", 8)),
              1);
    ASSERT_EQ(WriteProfileListFile("profiles.ini", list), 1);
    const std::string list_text = ReadWholeFile("profiles.ini");

    ProfileSettings expected;
    ASSERT_EQ(ReadProfileFile("web.ini", expected), 1);
    ASSERT_EQ(ThroughTheDialog(expected), 1);
    EXPECT_EQ(expected.n_keyword_color, 0x345678u);
    const std::string html = Expected(kSource, 0, &expected);

    for (const char* option : {"--profile 'plain WEB'", "--profile-file web.ini"}) {
        Outcome run = Convert(std::string(option) + " --font-markup", kSource);
        EXPECT_EQ(run.status, 0) << option;
        EXPECT_EQ(run.out, html) << option;
        EXPECT_EQ(run.err, "tarvo-convert: Negative tab-size = keep tabs\n") << option;
    }
    EXPECT_NE(html.find("<font color=\"#345678\">int </font>"), std::string::npos);

    auto fails = [&](const std::string& args, const std::string& message) {
        Outcome run = Convert(args, "int");
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_EQ(run.out, "") << args;
        EXPECT_EQ(run.err, "tarvo-convert: " + message + "\n") << args;
    };
    fails("--profile nobody", "Can't find profile !");
    fails("--profile broken", "Error loading profile !");
    fails("--profile-file gone.ini", "Error loading profile !");
    fails("missing.cpp", "cannot read 'missing.cpp': No such file or directory");
    WriteWholeFile("profiles.ini", "n_profile_num = 1;");
    fails("--profile web", "Error in main ini file !");
    std::filesystem::remove("profiles.ini");
    fails("--profile web", "Can't find profile !");
    EXPECT_FALSE(std::filesystem::exists("profiles.ini")); // never created
    WriteWholeFile("profiles.ini", list_text);
    EXPECT_EQ(Listing(), "profiles.ini\nweb.ini\n");
}

TEST_F(ConvertCommand, FindsProfilesInTheChosenFolder) {
    ProfileSettings tabs;
    SetCppDefaults(tabs);
    tabs.n_tab_size = 1;
    ProfileList list;
    ASSERT_EQ(list.Add(tarvo::DuplicateString("T", 1), tarvo::DuplicateString("t.ini", 5)), 1);
    const std::string user = (m_dir / "config").string();
    for (const std::string& folder : {std::string("store"), user + "/tarvo"}) {
        std::filesystem::create_directories(folder);
        ASSERT_EQ(WriteProfileFile((folder + "/t.ini").c_str(), tabs), 1);
        ASSERT_EQ(WriteProfileListFile((folder + "/profiles.ini").c_str(), list), 1);
    }
    const std::string expected = Expected("\tx", 1, &tabs);
    EXPECT_EQ(Convert("--profile T --profile-dir store", "\tx").out, expected);
    EXPECT_EQ(Convert("--profile T --profile-dir \"$PWD/store/\"", "\tx").out, expected);
    EXPECT_EQ(Convert("--profile T", "\tx").err, "tarvo-convert: Can't find profile !\n");
    ::setenv("XDG_CONFIG_HOME", user.c_str(), 1);
    EXPECT_EQ(Convert("--profile T --user-profiles", "\tx").out, expected);
    // A missing user folder is made, private; a missing given folder is an error.
    std::filesystem::remove_all(user);
    EXPECT_EQ(Convert("--profile T --user-profiles").err, "tarvo-convert: Can't find profile !\n");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(std::filesystem::status(user + "/tarvo").permissions(),
              std::filesystem::perms::owner_all);
    const Outcome missing = Convert("--profile T --profile-dir nowhere");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "tarvo-convert: nowhere: No such file or directory\n");
    EXPECT_EQ(Convert("--profile-dir a --user-profiles").status, 2);
}

TEST_F(ConvertCommand, UsageAndNotices) {
    Outcome version = Convert("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "tarvo-convert 1.0.0.1\n");
    Outcome help = Convert("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: tarvo-convert ", 0), 0u);
    for (const char* bad :
         {"--bogus", "-o", "--profile", "--profile a --profile-file b", "a.cpp b.cpp",
          "--style-sheet a.cpp", "--style-sheet --font-markup", "--rtf --font-markup",
          "--rtf --style-sheet", "--rtf --fragment -d out a.cpp"}) {
        Outcome run = Convert(bad);
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_EQ(run.out, "") << bad;
        EXPECT_NE(run.err.find("Usage: tarvo-convert "), std::string::npos) << bad;
    }
    // The notice comes and the text is delivered all the same.
    Outcome big = Convert("", std::string(70000, 'x'));
    EXPECT_EQ(big.status, 0);
    EXPECT_EQ(big.err, "tarvo-convert: Text lenght is over 64k !\n");
    EXPECT_GT(big.out.size(), 70000u);
}

TEST_F(ConvertCommand, ClassColoursOverrideTheProfile) {
    // A profile with strings on; the flags turn them off and the others on.
    ProfileSettings s;
    SetCppDefaults(s);
    s.n_string_color = 0x112233;
    ASSERT_EQ(WriteProfileFile("p.ini", s), 1);
    EXPECT_EQ(Convert("--profile-file p.ini", kSource).out, Expected(kSource, 1, &s));
    s.n_string_color = kClassOff;
    s.n_char_color = 0xABCDEF;
    s.n_number_color = 0x00FF00;
    EXPECT_EQ(Convert("--profile-file p.ini --string-color off --char-color '#abcdef' "
                      "--number-color 00ff00 --font-markup",
                      kSource)
                  .out,
              Expected(kSource, 0, &s));
    // --all-classes, one of them changed; the style sheet carries their rules.
    SetCppDefaults(s);
    SetSuggestedClassColours(s);
    SetSuggestedNameColours(s);
    s.n_preproc_color = 0x123456;
    EXPECT_EQ(Convert("--preproc-color 123456 --all-classes", kSource).out,
              Expected(kSource, 1, &s));
    // The name classes one by one, over the profile's.
    s.n_type_color = kClassOff;
    s.n_macro_color = 0x654321;
    EXPECT_EQ(Convert("--all-classes --preproc-color 123456 --type-color off --macro-color "
                      "654321 --font-markup",
                      kSource)
                  .out,
              Expected(kSource, 0, &s));
    s.n_type_color = kSuggestedTypeColor;
    s.n_macro_color = kSuggestedMacroColor;
    std::string sheet = BuildStyleSheet(s);
    ToLf(sheet);
    const Outcome styles = Convert("--all-classes --preproc-color 123456 --style-sheet");
    EXPECT_EQ(styles.out, sheet);
    EXPECT_NE(styles.out.find(".cpp_preproc {\n\tfont-family : monospace;\n\tfont-size : "
                              "13px;\n\tcolor : #123456;\n}\n"),
              std::string::npos);
    EXPECT_NE(styles.out.find(".cpp_macro {\n\tfont-family : monospace;\n\tfont-size : "
                              "13px;\n\tcolor : #AF00DB;\n}\n"),
              std::string::npos);
    // A value that is no colour is named; one reader for every colour option.
    for (const auto& [bad, message] : std::vector<std::pair<std::string, std::string>>{
             {"--string-color", "missing colour (RRGGBB or off) after '--string-color'"},
             {"--string-color 0x1234", "--string-color: '0x1234' is not a colour (RRGGBB or off)"},
             {"--char-color 12345", "--char-color: '12345' is not a colour (RRGGBB or off)"},
             {"--number-color red", "--number-color: 'red' is not a colour (RRGGBB or off)"},
             {"--preproc-color 1234567", "--preproc-color: '1234567' is not a colour"},
             {"--function-color red", "--function-color: 'red' is not a colour (RRGGBB or off)"},
             {"--mark-color 0x1234", "--mark-color: '0x1234' is not a colour (RRGGBB)"},
             {"--mark-color off", "--mark-color: 'off' is not a colour (RRGGBB)"}}) {
        const Outcome run = Convert(bad);
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_NE(run.err.find("tarvo-convert: " + message), std::string::npos) << run.err;
    }
}
