// The bytes kvcli writes for a generated project, before and after its
// schedule, compared with the hashes of files written before the store, the
// record codec and the schedule passes were made faster. A deliberate change
// of what a project file holds changes these hashes with it.
#include <string>

#include "kvcli_runner.h"

namespace {

using FileBytes = ScratchTest;

std::string sha256(const std::string& path) {
  const CliRun run = runCommand("sha256sum '" + path + "'");
  return run.status == 0 ? run.out.substr(0, 64) : run.out;
}

TEST_F(FileBytes, GeneratedAndScheduledProjectKeepsItsBytes) {
  const std::string p = file("gen.kvp");
  const std::string env = isolatedEnvironment(dir_, dir_);
  ASSERT_EQ(kvcli("gen " + p + " --activities 30000 --relations 45000", env).status, 0);
  EXPECT_EQ(sha256(p), "1e7a9f477bd7e929626642c2ef9d47bda9c362367c9687e7f01e3a095790ceff");
  const CliRun run = kvcli("schedule " + p, env);
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(sha256(p), "ee4e673f5818607e3490546019498d09f0273f0917b1ed5e86fec4b1b04c6dcb");
}

}  // namespace
