#include "ReaderPromises.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

namespace fs = std::filesystem;

namespace {

using Check = std::function<promises::Findings(std::string_view)>;

// The fuzz targets by folder name, with the check each one runs.
const std::map<std::string, Check>& Targets() {
    static const std::map<std::string, Check> targets = {
        {"dataset",
         [](std::string_view b) { return promises::CheckDataSet(promises::SplitDataSetInput(b)); }},
        {"textimport", promises::CheckTextImport},
        {"ini", promises::CheckIniFile},
        {"filelist", promises::CheckFileList},
        {"colours", promises::CheckColourFile},
    };
    return targets;
}

// Runs every file under fuzz/<folder>/<target>/ through its target's check.
// Returns the number of files run.
int ReplayFolder(const std::string& folder) {
    int files = 0;
    for (const auto& [target, check] : Targets()) {
        const fs::path dir = testsupport::SourcePath("fuzz/" + folder + "/" + target);
        if (!fs::is_directory(dir))
            continue;
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (!entry.is_regular_file() || entry.path().filename().string().starts_with("."))
                continue;
            const std::string bytes = testsupport::ReadBytes(entry.path().string());
            const promises::Findings findings = check(bytes);
            ++files;
            for (const std::string& f : findings)
                ADD_FAILURE() << entry.path().string() << ": " << f;
        }
    }
    return files;
}

} // namespace

// Inputs that once made a fuzz target fail stay here and run in every build.
TEST(FuzzRegressionTest, EveryKeptCrashInputHoldsThePromises) {
    ReplayFolder("regressions");
}

// The seed inputs cover the accepting paths of each reader.
TEST(FuzzRegressionTest, EverySeedInputHoldsThePromises) {
    EXPECT_GE(ReplayFolder("corpus"), 10);
}

// A good set is accepted and a damaged one refused, both without findings;
// the split of one input into three files keeps each part.
TEST(FuzzRegressionTest, AcceptedAndRefusedSetsBothPassTheChecks) {
    promises::DataSetInput input;
    input.dat = "1\r\nName\r\n0\r\nW\r\n3\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n" +
                std::string(256, '0') + "\r\n#9#\r\ntext\r\n#9#\r\n";
    input.haveSbk = true;
    input.sbk = "None - (Full List)\r\nTome\r\n";
    input.haveSbn = true;
    input.sbn = std::string(256, '\x02');
    promises::DataSetRead read;
    EXPECT_TRUE(promises::CheckDataSet(input, &read).empty());
    ASSERT_TRUE(read.accepted) << read.message;
    ASSERT_EQ(read.spells.Count(), 1);
    EXPECT_EQ(read.spells[0]->BookCounts[7], 2);
    EXPECT_EQ(read.books.size(), 2u);

    input.dat[0] = '2'; // the count now promises a spell that is not there
    EXPECT_TRUE(promises::CheckDataSet(input, &read).empty());
    EXPECT_FALSE(read.accepted);
    EXPECT_NE(read.message.find("case.Dat, line"), std::string::npos) << read.message;

    const promises::DataSetInput split =
        promises::SplitDataSetInput(promises::JoinDataSetInput(input));
    EXPECT_EQ(split.dat, input.dat);
    EXPECT_EQ(split.sbk, input.sbk);
    EXPECT_EQ(split.sbn, input.sbn);
}
