// Running kvcli as scripts do, and a scratch folder per test: shared by the
// command-line tests of kvcli and of the converter plug-ins.
#ifndef KVCLI_TESTS_RUNNER_H_
#define KVCLI_TESTS_RUNNER_H_

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

struct CliRun {
  int status;       // the exit status; -1 when the program did not exit normally
  std::string out;  // standard output and standard error together
};

// Runs a shell command line; its exit status and everything it printed.
inline CliRun runCommand(const std::string& command) {
  CliRun run{-1, ""};
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// Runs the kvcli of this build with args; environment, when given, is a
// prefix of shell assignments such as isolatedEnvironment() makes.
inline CliRun kvcli(const std::string& args, const std::string& environment = {}) {
  return runCommand(environment + KELVO_BIN_DIR + "/kvcli " + args);
}

// Shell assignments giving kvcli a settings folder and a temporary folder of
// the caller's own, so that no test reads or writes the user's.
inline std::string isolatedEnvironment(const std::filesystem::path& config,
                                       const std::filesystem::path& tmp) {
  return "XDG_CONFIG_HOME='" + config.string() + "' TMPDIR='" + tmp.string() + "' ";
}

inline void writeFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// The whole content of a file; empty when it cannot be read.
inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A new folder under /tmp for each test, removed with everything in it.
class ScratchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kvcli_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string file(const std::string& name) const { return (dir_ / name).string(); }

  std::filesystem::path dir_;
};

#endif  // KVCLI_TESTS_RUNNER_H_
