// main() of the window tests: an offscreen QApplication, scripted prompts, and
// a check after every test that no prompt appeared without a scripted answer.
#include "controls/ProgramFonts.h"
#include "controls/Prompts.h"

#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

class PromptListener : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { PromptScript::Start(); }
    void OnTestEnd(const ::testing::TestInfo&) override {
        const QStringList unexpected = PromptScript::Unexpected();
        EXPECT_TRUE(unexpected.isEmpty())
            << "prompts without a scripted answer: " << unexpected.join("; ").toStdString();
        EXPECT_EQ(PromptScript::Unused(), 0) << "scripted answers left unused";
        PromptScript::Stop();
    }
};

} // namespace

int main(int argc, char** argv) {
    // Test discovery runs this binary without the test environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    UseProgramFonts();
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new PromptListener);
    return RUN_ALL_TESTS();
}
