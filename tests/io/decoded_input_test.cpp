// The decoding reader under every reader of lines: a text reads to the same
// lines (and bars) plain, gzipped, zipped, with a UTF-8 mark and as UTF-16,
// from a file and from a pipe; the inputs it refuses say why; and texts that read before
// (a NUL or a control byte in a line, a start like a magic number) read as
// they did.
#include "io/decoded_input.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bars/bar_input.h"
#include "bars/build_bars.h"
#include "io/block_reader.h"
#include "io/decode_error.h"
#include "io/line_reader.h"
#include "packed_support.h"
#include "test_support.h"
#include "truncate/truncate.h"

namespace varn {
namespace {

using namespace testing;
using Lines = std::vector<std::string>;

// count price lines with a note in other scripts; from 100 lines on, one of
// them is longer than any reader's buffer.
std::string Sample(int count, const char* eol) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += "01/" + std::to_string(10 + i % 18) + "/2024,10:" + std::to_string(10 + i % 50) +
                ",1.2" + std::to_string(i % 1000) + ",1.3,1.1,1.25,100";
        if (i % 7 == 3) text += " caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x93\x88";  // café € 📈
        if (count >= 100 && i == count / 2) text += std::string(70000, 'x');
        text += eol;
    }
    return text;
}

struct Form {
    const char* name;
    std::function<std::string(const std::string&)> make;
};

const Form kForms[] = {
    {"plain", [](const std::string& t) { return t; }},
    {"gzip", [](const std::string& t) { return Gzip(t); }},
    {"gzip of members of 1000 bytes", [](const std::string& t) { return GzipMembers(t, 1000); }},
    {"zip",
     [](const std::string& t) {
         return Zip({{"prices.csv", t}});
     }},
    {"zip with a folder",
     [](const std::string& t) {
         return Zip({{"data/", ""}, {"data/prices.csv", t}});
     }},
    {"UTF-8 mark", [](const std::string& t) { return "\xef\xbb\xbf" + t; }},
    {"UTF-16 LE", [](const std::string& t) { return Utf16(t, false); }},
    {"UTF-16 BE", [](const std::string& t) { return Utf16(t, true); }},
    {"gzip of UTF-16 LE", [](const std::string& t) { return Gzip(Utf16(t, false)); }},
    {"zip of UTF-8 with a mark",
     [](const std::string& t) {
         return Zip({{"p.csv", "\xef\xbb\xbf" + t}});
     }},
};

// The source: the file, or standard input fed from bytes through a pipe.
struct Input {
    std::string path;
    std::string bytes;
    bool piped;
    template <typename Read>
    auto Run(Read&& read) const {
        std::optional<PipedStandardInput> pipe;
        if (piped) pipe.emplace(bytes, 777);
        return read(piped ? LineSource::StandardInput() : LineSource::File(path));
    }
};

// Whether got holds the lines wanted; else where they part.
::testing::AssertionResult Same(const Lines& got, const Lines& want) {
    std::size_t i = 0;
    while (i < got.size() && i < want.size() && got[i] == want[i]) ++i;
    if (i == got.size() && i == want.size()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << got.size() << " lines for " << want.size() << "; line " << i + 1 << " is \""
           << (i < got.size() ? got[i].substr(0, 80) : "(none)") << "\" for \""
           << (i < want.size() ? want[i].substr(0, 80) : "(none)") << "\"";
}

Lines ByLineReader(const LineSource& source, LineRules rules) {
    LineReader reader;
    EXPECT_TRUE(reader.Open(source, rules).ok());
    Lines lines;
    for (std::string_view line; reader.Next(line);) lines.emplace_back(line);
    EXPECT_TRUE(reader.status().ok()) << reader.status().Message();
    return lines;
}

Lines ByBlocks(const LineSource& source, std::size_t block_size) {
    BlockReader reader;
    EXPECT_TRUE(reader.Open(source, LineRules::List, block_size).ok());
    Lines lines;
    for (std::string block; reader.Next(block);) {
        for (std::string& line : ListLines(block)) lines.push_back(std::move(line));
    }
    EXPECT_TRUE(reader.status().ok()) << reader.status().Message();
    return lines;
}

// The day bars of source.
Lines DayBars(const LineSource& source) {
    BarChoices choices;
    choices.date_layout = DateLayout::MMDDYYYYSlash;
    choices.time_layout = TimeLayout::SemicolonHm;
    choices.period = BarPeriod::Day;
    Lines bars;
    EXPECT_TRUE(RunBars(source, Destination::Lines(bars), choices).ok());
    return bars;
}

TEST(DecodedInput, EveryFormReadsToTheSameLines) {
    for (const char* eol : {"\n", "\r\n"}) {
        for (const int count : {3, 3000}) {
            const std::string text = Sample(count, eol);
            const Lines want = ListLines(text);
            const Lines last(want.end() - std::min<std::ptrdiff_t>(5, count), want.end());
            TempDir plain;
            const Lines bars = DayBars(LineSource::File(plain.Write("in", text)));
            ASSERT_FALSE(bars.empty());
            for (const Form& form : kForms) {
                TempDir dir;
                const std::string bytes = form.make(text);
                const std::string path = dir.Write("in", bytes);
                for (const bool piped : {false, true}) {
                    SCOPED_TRACE(std::string(form.name) + (eol[0] == '\r' ? ", CR LF" : ", LF") +
                                 ", " + std::to_string(count) + " lines" +
                                 (piped ? ", piped" : ", from the file"));
                    const Input in{path, bytes, piped};
                    for (const LineRules rules : {LineRules::Stream, LineRules::List}) {
                        EXPECT_TRUE(
                            Same(in.Run([&](auto s) { return ByLineReader(s, rules); }), want));
                    }
                    for (const std::size_t block : {std::size_t{0}, std::size_t{7}}) {
                        EXPECT_TRUE(Same(in.Run([&](auto s) { return ByBlocks(s, block); }), want))
                            << "blocks of " << block;
                    }
                    if (count < 10) {
                        EXPECT_TRUE(Same(in.Run([](auto s) { return ByBlocks(s, 1); }), want));
                    }
                    EXPECT_EQ(in.Run([](auto s) { return RunCount(s).lines_read; }),
                              static_cast<std::int64_t>(want.size()));
                    const std::string out = dir.Path("out");
                    ASSERT_TRUE(in.Run([&](auto s) {
                                      return RunTruncate(s, Destination::File(out), {5});
                                  }).ok());
                    EXPECT_TRUE(Same(ListLines(ReadAll(out)), last));
                    EXPECT_TRUE(Same(in.Run([](auto s) { return DayBars(s); }), bars));
                }
                std::string whole;
                ASSERT_TRUE(ReadWholeFile(path, whole).ok());
                EXPECT_TRUE(Same(ListLines(whole), want)) << form.name;
                Lines listed;
                ASSERT_TRUE(ReadLineList(path, listed).ok());
                EXPECT_TRUE(Same(listed, want)) << form.name;
                // The window's bar page loads through the same reader.
                BarInputLines store;
                Detection detection;
                ASSERT_TRUE(
                    LoadBarInput(path, store, DateNames(EnglishRegionalNames()), detection).ok());
                ASSERT_EQ(store.Count(), want.size()) << form.name;
                EXPECT_EQ(store.Line(want.size() - 1), want.back()) << form.name;
            }
        }
    }
}

TEST(DecodedInput, ReadsTheMemberAskedFor) {
    const std::string a = Sample(4, "\n");
    const std::string b = Sample(9, "\r\n");
    TempDir dir;
    const std::string bytes = Zip({{"a.csv", a}, {"sub/b.csv", b}, {"__MACOSX/._a.csv", "x"}});
    const std::string path = dir.Write("two.zip", bytes);
    for (const bool piped : {false, true}) {
        SCOPED_TRACE(piped ? "piped" : "from the file");
        const Input in{path, bytes, piped};
        EXPECT_EQ(in.Run([](auto s) { return ByBlocks(s.WithMember("sub/b.csv"), 0); }),
                  ListLines(b));
        EXPECT_EQ(
            in.Run([](auto s) { return ByLineReader(s.WithMember("a.csv"), LineRules::List); }),
            ListLines(a));
    }
    // The folder and the macOS entry are no members to choose from.
    EXPECT_EQ(
        RunCount(LineSource::File(dir.Write("one.zip", Zip({{"d/", ""}, {"d/a", a}})))).lines_read,
        4);
}

// bytes with the middle overwritten.
std::string Damage(std::string bytes) {
    for (std::size_t i = bytes.size() / 2; i < bytes.size() / 2 + 16; ++i) bytes[i] = '\x55';
    return bytes;
}

TEST(DecodedInput, RefusesWhatItCannotReadAsText) {
    struct Row {
        const char* name;
        std::string bytes;
        const char* member;
        DecodeError error;
        std::string says;
    };
    const std::string text = Sample(60, "\n");
    const std::string two = Zip({{"a.csv", text}, {"b.csv", text}});
    std::string binary;
    for (int i = 0; i < 3000; ++i) binary += static_cast<char>(i * 7919 % 251);
    const Row rows[] = {
        {"binary", binary, "", DecodeError::NotText, "not a text file"},
        {"a program",
         "\x7f"
         "ELF\x02\x01\x01" +
             std::string(100, '\0'),
         "", DecodeError::NotText, "not a text file (a program)"},
        {"UTF-16 LE without a mark", Utf16(text, false, false), "", DecodeError::Utf16WithoutMark,
         "UTF-16 text without a byte order mark: convert it first with iconv -f UTF-16LE -t UTF-8"},
        {"UTF-16 BE without a mark", Utf16(text, true, false), "", DecodeError::Utf16WithoutMark,
         "UTF-16 text without a byte order mark: convert it first with iconv -f UTF-16BE -t UTF-8"},
        {"zip of two members", two, "", DecodeError::SeveralMembers,
         "a zip file of 2 members (a.csv, b.csv): choose one with --member NAME, or unpack it"},
        {"member not there", two, "c.csv", DecodeError::NoSuchMember,
         "the zip file has no member c.csv (it holds a.csv, b.csv)"},
        {"Excel workbook",
         Zip({{"[Content_Types].xml", "<x/>"},
              {"_rels/.rels", "<x/>"},
              {"xl/workbook.xml", "<x/>"}}),
         "", DecodeError::Workbook, "an Excel workbook, not a text file: save it as CSV"},
        {"zip of no file", Zip({{"d/", ""}}), "", DecodeError::NotText,
         "the zip file holds no file"},
        {"damaged zip", Damage(Zip({{"a.csv", text}})), "", DecodeError::Damaged,
         "zip data is damaged ("},
        {"damaged gzip", Damage(Gzip(text)), "", DecodeError::Damaged, "gzip data is damaged ("},
        {"gzip cut short", Gzip(text).substr(0, 400), "", DecodeError::Damaged,
         "gzip data is damaged (it ends early: the file is cut short)"},
        {"gzip then other bytes", Gzip(text) + "more", "", DecodeError::Damaged,
         "gzip data is damaged (bytes after its end that are not gzip data)"},
        {"xz", Packed(text, ARCHIVE_FILTER_XZ), "", DecodeError::Compressed,
         "xz-compressed: unpack it first with unxz -k"},
        {"bzip2", Packed(text, ARCHIVE_FILTER_BZIP2), "", DecodeError::Compressed,
         "bzip2-compressed: unpack it first with bunzip2 -k"},
        {"zstd", Packed(text, ARCHIVE_FILTER_ZSTD), "", DecodeError::Compressed,
         "zstd-compressed: unpack it first with unzstd"},
        {"gzip in gzip", Gzip(Gzip(text)), "", DecodeError::Compressed, "compressed twice"},
        {"UTF-16 with a lone surrogate", Utf16("ab", false) + std::string("\x00\xd8z\0", 4), "",
         DecodeError::Damaged, "not valid UTF-16 (at byte 6)"},
        {"UTF-16 ending in half a character", Utf16(text, true) + "1", "", DecodeError::Damaged,
         "not valid UTF-16 (it ends in half a character)"},
    };
    for (const Row& row : rows) {
        TempDir dir;
        const std::string path = dir.Write("in", row.bytes);
        for (const bool piped : {false, true}) {
            SCOPED_TRACE(std::string(row.name) + (piped ? ", piped" : ", from the file"));
            const Input in{path, row.bytes, piped};
            const JobReport count =
                in.Run([&](auto s) { return RunCount(s.WithMember(row.member)); });
            EXPECT_EQ(count.status.error, DecodeErrorCode(row.error)) << count.status.Message();
            const std::string name = piped ? "-" : path;
            EXPECT_EQ(count.status.Message().rfind(name + ": " + row.says, 0), 0U)
                << count.status.Message();
            // A failed job writes nothing.
            const std::string out = dir.Path("out");
            EXPECT_FALSE(in.Run([&](auto s) {
                               return RunTruncate(s.WithMember(row.member), Destination::File(out),
                                                  {3});
                           }).ok());
            EXPECT_EQ(dir.Listing(), "in ");
        }
    }
}

TEST(DecodedInput, KeepsTheBytesOfTextsThatReadBefore) {
    struct Row {
        const char* name;
        std::string bytes;
    };
    const Row rows[] = {
        {"a NUL in the first line", std::string("a\0b\nc", 5)},
        {"seven NULs", std::string(7, '\0')},
        {"a few escapes", "\x1b[1mbold\x1b[0m\n\x01\x02 line\n" + Sample(3, "\n")},
        {"Ctrl-Z and form feeds", "a\f\v\x1a\nb"},
        {"starts like a zip", "PKG,1.5\n"},
        {"starts like bzip2", "BZh9,2\n"},
        {"starts like a GIF", "GIF,3\n"},
        {"one gzip byte", "\x1f"},
        {"Latin-1", "caf\xe9,1.5\r\n"},
        {"a lone UTF-16 byte", "\xff"},
        {"empty", ""},
    };
    for (const Row& row : rows) {
        TempDir dir;
        const std::string path = dir.Write("in", row.bytes);
        for (const bool piped : {false, true}) {
            SCOPED_TRACE(std::string(row.name) + (piped ? ", piped" : ", from the file"));
            std::string got = Input{path, row.bytes, piped}.Run([](const LineSource& source) {
                DecodedInput input;
                EXPECT_TRUE(input.Open(source).ok());
                std::string bytes;
                char buffer[DecodedInput::kSniffSize];
                while (const std::size_t n = input.Read(buffer, sizeof buffer))
                    bytes.append(buffer, n);
                EXPECT_TRUE(input.status().ok()) << input.status().Message();
                return bytes;
            });
            EXPECT_EQ(got, row.bytes);
        }
    }
}

}  // namespace
}  // namespace varn
