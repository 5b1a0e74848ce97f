#include "spelldata/FileLines.h"
#include "TestSupport.h"
#include "spelldata/TextLines.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace spelldata;

namespace {

std::vector<std::string> wholeTextLines(const std::string& text) {
    std::vector<std::string> lines;
    LineReader reader(text);
    std::string_view line;
    while (reader.next(line))
        lines.emplace_back(line);
    return lines;
}

} // namespace

// Read in pieces of every size from 64 bytes up, a file gives the lines the
// whole text gives: line ends split between pieces, a CR that ends a piece,
// and lines longer than a piece. Lines read before a release stay valid.
TEST(FileLineReaderTest, PiecesOfAnySizeGiveTheLinesOfTheWholeText) {
    std::string text;
    for (int i = 0; i < 12; ++i)
        text += "line " + std::to_string(i) + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\r" : "\n");
    text += std::string(300, 'x') + "\r\r\n\n" + std::string(150, 'y') + "\r\nlast";
    const std::vector<std::string> expected = wholeTextLines(text);
    testsupport::TempDir dir;
    const std::string path = dir.file("lines.txt");
    testsupport::WriteBytes(path, text);
    for (std::size_t chunk = 64; chunk < 200; ++chunk) {
        for (const bool releasing : {false, true}) {
            InputFile file;
            ASSERT_TRUE(file.open(path).ok());
            FileLineReader reader(file, chunk);
            std::vector<std::string_view> views;
            std::vector<std::string> copies;
            std::string_view line;
            while (reader.next(line)) {
                views.push_back(line);
                copies.emplace_back(line);
                if (releasing && copies.size() % 4 == 0) {
                    reader.release();
                    views.clear();
                }
            }
            EXPECT_TRUE(reader.status().ok());
            EXPECT_EQ(copies, expected) << "pieces of " << chunk;
            EXPECT_EQ(reader.lineNumber(), static_cast<int>(expected.size()));
            const std::vector<std::string> held(views.begin(), views.end());
            EXPECT_EQ(held, std::vector<std::string>(
                                expected.end() - static_cast<long>(views.size()), expected.end()))
                << "pieces of " << chunk;
        }
    }
}
