// One QApplication for the whole test program (offscreen under ctest).
#include <gtest/gtest.h>

#include <QApplication>
#include <fstream>
#include <string>
#include <vector>

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The real command line, so that the program's arguments are what a
    // second start would hand over.
    static std::vector<std::string> words;
    static std::vector<char*> argv;
    static int argc = 0;
    std::ifstream cmdline("/proc/self/cmdline", std::ios::binary);
    for (std::string word; std::getline(cmdline, word, '\0');) words.push_back(word);
    if (words.empty()) words.push_back("uilib_tests");
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    argc = static_cast<int>(words.size());
    app_ = new QApplication(argc, argv.data());
  }
  void TearDown() override {
    delete app_;
    app_ = nullptr;
  }

 private:
  QApplication* app_ = nullptr;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
